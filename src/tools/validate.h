// /validate: checks a directive file against the directive language without
// running anything or writing any file.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "engine/document.h"
#include "engine/engine.h"

namespace orv::tools {

struct Finding {
  uint64_t line = 0, column = 0;  // where the element (or the parse error) starts
  bool error = false;             // false: a warning
  std::string message;            // French, for administrators
};

struct ValidateOptions {
  bool memoSwitch = false;  // the run is given /m: memos may come from its INI file
};

// Every finding of a parsed document, in document order.
std::vector<Finding> validateDocument(const ParsedDocument& doc, const ValidateOptions& options);
// The same findings, reading the bytes in one pass without building the tree
// (encoding as for parseDocument); only the parse error when not well-formed.
std::vector<Finding> validateText(const std::string& bytes, const std::string& encoding,
                                  const ValidateOptions& options);
// The finding of a parser error status at a position.
Finding parseErrorFinding(int status, uint64_t line, uint64_t column);
// "file:line:column: erreur: message" (or "avertissement").
std::string formatFinding(const std::string& file, const Finding& finding);
// The /validate switch: prints the findings; 0 (warnings only), 2 (errors), 3 (no file).
int64_t runValidate(const ParameterMap& params);

}  // namespace orv::tools
