// The EXEC directive: run a program, wait for it, capture its output, check its exit code.
#pragma once
#include <cstdint>
#include <string>

namespace orv {

struct Engine;
class DirectiveNode;
class AttributeMap;

// Handler of EXEC.
int64_t runExec(Engine& engine, const DirectiveNode& node, const AttributeMap& attrs);

// The accepted-codes test: the comma-separated fields of list, each read by
// the number rule (an empty field reads 0); true when one equals code.
bool acceptsExitCode(const std::string& list, int64_t code);

// Captured bytes as the directive keeps them: each line (LF or CR LF ended,
// the last one possibly unended) followed by a carriage return; lines that
// are not UTF-8 are read in the ANSI code page.
std::string capturedText(std::string bytes);

}  // namespace orv
