#include "conditions/system_identity.h"

#include "engine/attribute_errors.h"
#include "conditions/check.h"
#include "engine/engine.h"
#include "engine/text_util.h"

namespace orv {

namespace {

int serverOr(bool server, int workstation, int other) { return server ? other : workstation; }

// Versions 5.x and 6.x, by minor version.
int windowsNtCode(uint32_t major, uint32_t minor, bool server, uint16_t suite) {
  if (major == 5) {
    if (minor == 0) return 17;
    if (minor == 1) return 16;
    if (minor == 2) return serverOr(server, 15, suite == 0x8000 ? 14 : 11);
    return 0;
  }
  static const int kWorkstation[] = {10, 5, 3, 4}, kServer[] = {8, 9, 7, 6};
  return minor < 4 ? serverOr(server, kWorkstation[minor], kServer[minor]) : 18;
}

const SystemName kSystemNames[] = {
    {"win_nt351", false, 5, -1},   {"win_95", false, 10, -1},     {"win_nt4", false, 20, -1},
    {"win_98", false, 30, -1},     {"win_me", false, 40, -1},     {"win_other", false, 200, -1},
    {"win_2000", true, 17, -1},    {"win_xp", true, 16, -1},      {"win_s2003", true, 11, -1},
    {"win_s2003r2", true, 12, -1}, {"win_vista", true, 10, -1},   {"win_vista_32", true, 10, 0},
    {"win_vista_64", true, 10, 1}, {"win_s2008", true, 8, -1},    {"win_7", true, 5, -1},
    {"win_7_32", true, 5, 0},      {"win_7_64", true, 5, 1},      {"win_s2008r2", true, 9, -1},
    {"win_8", true, 3, -1},        {"win_8_32", true, 3, 0},      {"win_8_64", true, 3, 1},
    {"win_s2012", true, 7, -1},    {"win_8.1", true, 4, -1},      {"win_8.1_32", true, 4, 0},
    {"win_8.1_64", true, 4, 1},    {"win_s2012r2", true, 6, -1},  {"win_10", true, 2, -1},
    {"win_10_32", true, 2, 0},     {"win_10_64", true, 2, 1},     {"win_s2016", true, 13, -1},
    {"win_s2016_32", true, 13, 0}, {"win_s2016_64", true, 13, 1},
};

}  // namespace

int extendedSystemCode(const std::optional<facts::FullVersion>& v) {
  if (!v) return 0;
  bool server = v->productType != 1;
  if (v->major < 5) return 1;
  if (v->major == 5 || v->major == 6) return windowsNtCode(v->major, v->minor, server, v->suiteMask);
  if (v->major <= 9) return 18;
  if (v->major == 10) return v->minor == 0 ? serverOr(server, 2, 13) : 0;
  return 18;
}

int basicSystemCode(const std::optional<facts::ReportedVersion>& v) {
  if (!v) return 200;
  bool server = v->productType != 1;
  if (v->platformId == 1 && v->minor == 0) return 10;
  if (v->platformId == 1 && v->minor == 10) return 30;
  if (v->platformId == 1 && v->minor == 90) return 40;
  if (v->platformId != 2) return 200;
  if (v->major == 3) return 5;
  if (v->major == 4) return 20;
  if (v->major == 5 && v->minor <= 2) return v->minor == 0 ? 50 : serverOr(server && v->minor == 2, 60, 65);
  if (v->major == 6 && v->minor <= 2)
    return serverOr(server, 70 + 10 * static_cast<int>(v->minor), 75 + 10 * static_cast<int>(v->minor));
  return 200;
}

const SystemName* findSystemName(const std::string& name) {
  for (const SystemName& entry : kSystemNames)
    if (name == entry.name) return &entry;
  return nullptr;
}

SystemFacts currentSystemFacts() {
  SystemFacts f;
  f.basicCode = basicSystemCode(facts::reportedVersion());
  f.extendedCode = extendedSystemCode(facts::fullVersion());
  f.wow64 = facts::wow64Flag();
  return f;
}

int systemMatches(const SystemName& name, const SystemFacts& f) {
  if (!name.extended) return f.basicCode == name.code ? 1 : 0;
  if (f.extendedCode != name.code) return 0;
  return name.arch == -1 || f.wow64 == name.arch ? 1 : 0;
}

std::string architectureName(int arch) {
  switch (arch) {
    case 9: return "amd64";
    case 6: return "Itanium64";
    case 0: return "x86";
    case 65535: return "unknown architecture";
    default: return {};
  }
}

bool architectureMatches(const std::string& item, int arch) {
  if (item.size() < 3) return false;
  std::string name = toLower(item);
  if (name == "x86") return arch == 0;
  return (name == "amd64" || name == "x64") && arch == 9;
}

int checkSystemVersionWith(Engine& engine, const std::string& value, const SystemFacts& facts) {
  engine.log("Vérification du système d'exploitation", "+1");
  for (const std::string& whole : commaItems(value)) {
    std::string item = firstChars(toLower(whole), 30);
    engine.log(item, "+2");
    const SystemName* name = findSystemName(item);
    if (!name) {
      engine.log(attributeErrorText(kErrValue), "ERR");
      continue;
    }
    if (systemMatches(*name, facts)) {
      engine.log("Correspondance trouvé avec " + item, "+2");
      return 1;
    }
  }
  engine.log("Aucune correspondance trouvé.", "+2");
  return 0;
}

int checkSystemVersion(Engine& engine, const std::string& value) {
  return checkSystemVersionWith(engine, value, currentSystemFacts());
}

int checkArchitectureWith(Engine& engine, const std::string& value, const std::string& mode, int arch) {
  engine.log("Vérification du système d'architecture processeur (" + architectureName(arch) + ").", "+1");
  if (value.empty()) {
    engine.log("Pas de valeur a vérifier !", "ERR+1");
    return 0;
  }
  bool equal = mode == "equal" || mode.empty(), dif = mode == "dif";
  for (const std::string& item : commaItems(value)) {
    if (equal) engine.log("Est'il " + item + " ?", "+1");
    if (dif) engine.log("Est'il différent de " + item + " ?", "+1");
    bool matches = architectureMatches(item, arch);
    if ((equal && matches) || (dif && !matches)) {
      engine.log("Oui : " + item, "+2");
      return 1;
    }
    engine.log("Non.", "+2");
  }
  return 0;
}

int checkArchitecture(Engine& engine, const std::string& value, const std::string& mode) {
  return checkArchitectureWith(engine, value, mode, facts::nativeArchitecture());
}

}  // namespace orv
