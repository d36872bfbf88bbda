// System identification: Windows system names and processor architectures,
// for the CHECK types sysver and arch.
#pragma once
#include <optional>
#include <string>

#include "platform/system_facts.h"

namespace orv {

struct Engine;

// The extended system code of a full version; 0 when there is none.
int extendedSystemCode(const std::optional<facts::FullVersion>& version);
// The basic system code of a reported version; 200 when there is none.
int basicSystemCode(const std::optional<facts::ReportedVersion>& version);

// What one system name asks for.
struct SystemName {
  const char* name;
  bool extended;  // the extended code (else the basic one)
  int code;
  int arch;  // -1 any, 0 32-bit, 1 64-bit (extended names only)
};
// The table entry of a lower-case system name, or null.
const SystemName* findSystemName(const std::string& name);

// The facts a system name is judged on.
struct SystemFacts {
  int basicCode = 200;
  int extendedCode = 0;
  int wow64 = 0;
};
// The machine's facts, asked afresh.
SystemFacts currentSystemFacts();
// 1 when the name matches the facts, else 0.
int systemMatches(const SystemName& name, const SystemFacts& facts);

// The log name of an architecture code ("amd64", "x86", ...; empty when unnamed).
std::string architectureName(int arch);
// True when the item (any case, at least three characters) names the architecture.
bool architectureMatches(const std::string& item, int arch);

int checkSystemVersion(Engine& engine, const std::string& value);
// checkSystemVersion on given facts (tests).
int checkSystemVersionWith(Engine& engine, const std::string& value, const SystemFacts& facts);
int checkArchitecture(Engine& engine, const std::string& value, const std::string& mode);
// checkArchitecture on a given native architecture (tests).
int checkArchitectureWith(Engine& engine, const std::string& value, const std::string& mode, int arch);

}  // namespace orv
