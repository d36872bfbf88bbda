#include "engine/expand.h"

#include <utility>
#include <vector>

#include "engine/clock.h"
#include "engine/engine.h"
#include "engine/text_util.h"
#include "log/log_writer.h"
#include "platform/files.h"
#include "platform/system.h"

namespace orv {

namespace {

using Pairs = std::vector<std::pair<std::string, std::string>>;

std::vector<std::string> splitSeparators(const std::string& list) {
  std::string all = (list.empty() ? std::string("#,%") : list) + ",";
  std::vector<std::string> out;
  size_t start = 0;
  for (size_t comma; (comma = all.find(',', start)) != std::string::npos; start = comma + 1)
    out.push_back(all.substr(start, comma - start));
  return out;
}

std::string programName() {
  return replaceAll(fs::filePart(sys::selfPath()), ".exe", "");
}

// Built-in variables at this moment; withVersion adds the start-up-only "version".
Pairs builtins(bool withVersion) {
  sys::LocalTime t = clock::now();
  Pairs b = {{"oxlane_version", "5.12"}};
  if (withVersion) b.emplace_back("version", "2.5");
  b.emplace_back("h", formatDate("%hh", t));
  b.emplace_back("mi", formatDate("%ii", t));
  b.emplace_back("s", formatDate("%ss", t));
  b.emplace_back("yyyy", formatDate("%yyyy", t));
  b.emplace_back("y", formatDate("%yy", t));
  b.emplace_back("m", formatDate("%mm", t));
  b.emplace_back("d", formatDate("%dd", t));
  std::string cwd = sys::currentDir();
  while (cwd.size() > 1 && (cwd.back() == '\\' || cwd.back() == '/')) cwd.pop_back();
  b.emplace_back("currentdir", cwd);
  b.emplace_back("programname", programName());
  b.emplace_back("home", sys::profileDir() + fs::separator());
  return b;
}

std::string wrap(const std::string& sep, const std::string& name) { return sep + name + sep; }

// Replaces name (exact case) and, only when it occurred, the upper-cased name by the upper-cased text.
template <typename Map, typename ToText>
void substituteStore(std::string& text, const Map& store, ToText toText) {
  for (const auto& [name, value] : store) {
    std::string ref = wrap("#", name);
    if (name.empty() || text.find(ref) == std::string::npos) continue;
    std::string replacement = toText(value);
    text = replaceAll(text, ref, replacement);
    text = replaceAll(text, wrap("#", toUpper(name)), toUpper(replacement));
  }
}

}  // namespace

std::string expandVariables(const std::string& input, const std::map<std::string, std::string>& extra,
                            const ExpansionOptions& options) {
  std::string text = input;
  Pairs env = options.useEnvironment ? sys::environment() : Pairs();
  Pairs built = options.useBuiltins ? builtins(false) : Pairs();
  bool ignoreCase = !options.caseSensitive;
  for (const std::string& sep : splitSeparators(options.separators)) {
    if (options.useExtraTable)
      for (const auto& [name, value] : extra)
        if (!name.empty()) text = replaceAll(text, wrap(sep, name), value, ignoreCase);
    for (const auto& [name, value] : env) text = replaceAll(text, wrap(sep, name), value, ignoreCase);
    for (const auto& [name, value] : built) text = replaceAll(text, wrap(sep, name), value, ignoreCase);
  }
  return text;
}

std::string expandText(const std::string& input, const std::string& separators) {
  std::string text = input;
  Pairs env = sys::environment();
  Pairs built = builtins(true);
  for (const std::string& sep : splitSeparators(separators)) {
    for (const auto& [name, value] : env) text = replaceAll(text, wrap(sep, name), value, true);
    for (const auto& [name, value] : built) {
      text = replaceAll(text, wrap(sep, name), value);
      // A folder keeps its spelling: upper-cased it would name another folder
      // wherever case matters, and the journal or the file would be looked for there.
      bool folder = name == "currentdir" || name == "home";
      text = replaceAll(text, wrap(sep, toUpper(name)), folder ? value : toUpper(value));
    }
  }
  return text;
}

std::string substituteMemos(Engine& engine, const std::string& input) {
  std::string text = input;
  engine.memos.set("_timestamp_", decimal(clock::nowNumber()));
  for (const auto& [name, entry] : engine.memos.entries()) {
    if (name.empty()) continue;
    std::string ref = wrap("#", name), upper = wrap("#", toUpper(name));
    bool exact = text.find(ref) != std::string::npos;
    bool caps = text.find(upper) != std::string::npos;
    if (!exact && !caps) continue;
    std::string replacement = engine.memos.textOf(entry);
    if (exact) text = replaceAll(text, ref, replacement);
    if (caps) text = replaceAll(text, upper, replacement);
  }
  return text;
}

std::string expandAttribute(Engine& engine, const std::string& value, const AttributeExpansion& how) {
  std::string text = value;
  ResultStores& r = engine.results;
  if (how.dialogAnswers) substituteStore(text, r.dialogs, [](const DialogAnswer& a) { return a.text; });
  if (how.execResults) substituteStore(text, r.exec, [](int64_t code) { return decimal(code); });
  if (how.actionStates) substituteStore(text, r.actionStates, [](int8_t code) { return decimal(code); });
  text = substituteMemos(engine, text);
  if (how.variables) {
    ExpansionOptions options;
    options.separators = how.separators;
    options.caseSensitive = false;
    text = expandVariables(text, {}, options);
  }
  return how.limit > 0 ? firstChars(text, how.limit) : text;
}

}  // namespace orv
