// Text expansion of variable references written #name# or %name%.
#pragma once
#include <map>
#include <string>

namespace orv {

struct Engine;

struct ExpansionOptions {
  std::string separators;  // empty: "#,%"
  bool useEnvironment = true;
  bool useBuiltins = true;
  bool useExtraTable = true;
  bool caseSensitive = true;
};

// Environment variables, built-ins and the caller's table.
std::string expandVariables(const std::string& text, const std::map<std::string, std::string>& extra,
                            const ExpansionOptions& options = {});
// The start-up form: environment (any case), then built-ins, lower case or
// upper case (an upper-case name gives the value in capitals, except the
// folders currentdir and home, which keep their spelling).
std::string expandText(const std::string& text, const std::string& separators);
// The memo step alone: writes _timestamp_, then replaces #name# and #NAME#
// of every memo by its text.
std::string substituteMemos(Engine& engine, const std::string& text);
// What an attribute's expansion reads, and how much of it is kept.
struct AttributeExpansion {
  std::string separators = "#";  // separator list, "#,%" for both forms
  bool actionStates = true;      // the action states store
  bool execResults = true;       // the EXEC results store
  bool dialogAnswers = true;     // the dialog answers store
  size_t limit = 0;              // characters kept (never splitting one); 0: no limit of its own
  bool variables = true;         // the last step: environment and built-in variables
};

// Bytes an expansion without a limit of its own may produce (16 MiB). Beyond
// it the expansion stops, logs an error and the running directive fails.
constexpr size_t kExpansionHardCap = size_t{16} << 20;

// The full chain for directive attributes: dialog answers, exec results,
// action states, memos, then (with variables) expandVariables without regard to case. Each
// source is applied in one left-to-right scan (what it inserts is not scanned
// again by the same source, only by the later ones); a text with a limit
// stops expanding once it surely exceeds it.
std::string expandAttribute(Engine& engine, const std::string& value, const AttributeExpansion& how = {});

}  // namespace orv
