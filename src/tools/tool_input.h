// What the administrator tools share: the directive file named on the command
// line, read and parsed as a run would, and the report on the standard output.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "engine/document.h"
#include "engine/engine.h"

namespace orv::tools {

// Exit codes of the tools (a run's own codes are negative).
inline constexpr int64_t kToolOk = 0;
inline constexpr int64_t kToolFindings = 2;  // errors in the file (not well-formed included)
inline constexpr int64_t kToolNoFile = 3;    // no file given, or it cannot be read

// The file to work on: /f (expanded as a run does), else the value of the
// tool's own switch when it is a path.
std::string toolFile(const ParameterMap& params, const std::string& toolSwitch);
// Reads the file's bytes and the parser's encoding name for them; false when
// the file is missing, empty or unreadable.
bool readDirectiveBytes(const ParameterMap& params, const std::string& file, std::string& bytes,
                        std::string& encoding);
// Reads and parses the file with the run's choice of character set (/t, byte
// order mark, UTF-8 declaration); null when the file cannot be read.
std::unique_ptr<ParsedDocument> readDirectiveFile(const ParameterMap& params, const std::string& file);
// "file:line:column: " for an element (or a parser error position).
std::string position(const std::string& file, uint64_t line, uint64_t column);
// Sends the report to the standard output (the parent console on Windows).
void printReport(const std::string& text);

}  // namespace orv::tools
