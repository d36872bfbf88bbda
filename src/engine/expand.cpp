#include "engine/expand.h"

#include <functional>
#include <optional>
#include <unordered_map>
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

// The text a source gives for a name, or nothing when the name is not its own.
using Lookup = std::function<std::optional<std::string>(const std::string& name)>;

std::vector<std::string> splitSeparators(const std::string& list) {
  std::string all = (list.empty() ? std::string("#,%") : list) + ",";
  std::vector<std::string> out;
  size_t start = 0;
  for (size_t comma; (comma = all.find(',', start)) != std::string::npos; start = comma + 1)
    out.push_back(all.substr(start, comma - start));
  return out;
}

// A text being expanded, with the most bytes it may grow to.
struct Expansion {
  std::string text;
  size_t maxBytes = kExpansionHardCap;
  bool overflow = false;  // the text outgrew maxBytes: expansion stopped

  // Replaces, in one scan from left to right, every sep + name + sep that
  // lookup knows; inserted text is not scanned again. Returns what it replaced.
  size_t scan(const std::string& sep, const Lookup& lookup) {
    if (overflow || sep.empty()) return 0;
    size_t pos = text.find(sep);
    if (pos == std::string::npos) return 0;
    std::string out;
    size_t copied = 0, replaced = 0;
    for (size_t close; (close = text.find(sep, pos + sep.size())) != std::string::npos;) {
      std::string name = text.substr(pos + sep.size(), close - pos - sep.size());
      std::optional<std::string> value = name.empty() ? std::nullopt : lookup(name);
      if (!value) {
        pos = close;  // the closing separator may open the next reference
        continue;
      }
      out.append(text, copied, pos - copied).append(*value);
      copied = close + sep.size();
      ++replaced;
      if (out.size() > maxBytes) {
        overflow = true;
        break;
      }
      if ((pos = text.find(sep, copied)) == std::string::npos) break;
    }
    if (replaced == 0) return 0;
    if (!overflow) out.append(text, copied, std::string::npos);
    text = std::move(out);
    return replaced;
  }
};

// The environment, read once and again only after setEnv changed it.
struct EnvironmentIndex {
  std::vector<std::pair<std::string, std::string>> entries;
  std::unordered_map<std::string, size_t> exact;  // name to its first entry
  std::unordered_map<std::string, size_t> upper;  // upper-cased name to its first entry
  uint64_t version = ~uint64_t{0};

  static const EnvironmentIndex& current() {
    thread_local EnvironmentIndex index;
    if (index.version != sys::environmentChanges()) index.reload();
    return index;
  }
  void reload() {
    version = sys::environmentChanges();
    entries = sys::environment();
    exact.clear();
    upper.clear();
    for (size_t i = 0; i < entries.size(); ++i) {
      exact.try_emplace(entries[i].first, i);
      upper.try_emplace(toUpper(entries[i].first), i);
    }
  }
  std::optional<std::string> find(const std::string& name, bool ignoreCase) const {
    const auto& index = ignoreCase ? upper : exact;
    auto it = index.find(ignoreCase ? toUpper(name) : name);
    if (it == index.end()) return std::nullopt;
    return entries[it->second].second;
  }
};

enum class Builtin { OxlaneVersion, Version, Hour, Minute, Second, Year, ShortYear, Month, Day,
                     CurrentDir, ProgramName, Home };

const std::unordered_map<std::string, Builtin>& builtinNames() {
  static const std::unordered_map<std::string, Builtin> names = {
      {"oxlane_version", Builtin::OxlaneVersion}, {"version", Builtin::Version}, {"h", Builtin::Hour},
      {"mi", Builtin::Minute}, {"s", Builtin::Second}, {"yyyy", Builtin::Year}, {"y", Builtin::ShortYear},
      {"m", Builtin::Month}, {"d", Builtin::Day}, {"currentdir", Builtin::CurrentDir},
      {"programname", Builtin::ProgramName}, {"home", Builtin::Home}};
  return names;
}

// Built-in values, each computed only when referenced; the moment is read
// once per expansion, the program name and profile folder once per run.
struct Builtins {
  bool withVersion = false;  // the start-up form also knows "version"
  std::optional<sys::LocalTime> moment;

  std::optional<std::string> value(const std::string& lowerName) {
    auto it = builtinNames().find(lowerName);
    if (it == builtinNames().end()) return std::nullopt;
    switch (it->second) {
      case Builtin::OxlaneVersion: return "5.12";
      case Builtin::Version: return withVersion ? std::optional<std::string>("2.5") : std::nullopt;
      case Builtin::Hour: return date("%hh");
      case Builtin::Minute: return date("%ii");
      case Builtin::Second: return date("%ss");
      case Builtin::Year: return date("%yyyy");
      case Builtin::ShortYear: return date("%yy");
      case Builtin::Month: return date("%mm");
      case Builtin::Day: return date("%dd");
      case Builtin::CurrentDir: return currentDir();
      case Builtin::ProgramName: return programName();
      case Builtin::Home: return home();
    }
    return std::nullopt;
  }
  std::string date(const char* mask) {
    if (!moment) moment = clock::now();
    return formatDate(mask, *moment);
  }
  static std::string currentDir() {
    std::string cwd = sys::currentDir();
    while (cwd.size() > 1 && (cwd.back() == '\\' || cwd.back() == '/')) cwd.pop_back();
    return cwd;
  }
  static std::string programName() {
    static const std::string name = replaceAll(fs::filePart(sys::selfPath()), ".exe", "");
    return name;
  }
  static std::string home() {
    static const std::string folder = sys::profileDir() + fs::separator();
    return folder;
  }
};

// A case-insensitive match of a table name: the first in the table's order.
std::optional<std::string> findInTable(const std::map<std::string, std::string>& table,
                                       const std::string& name, bool ignoreCase) {
  if (!ignoreCase) {
    auto it = table.find(name);
    return it == table.end() ? std::nullopt : std::optional<std::string>(it->second);
  }
  for (const auto& [key, value] : table)
    if (equalsNoCase(key, name)) return value;
  return std::nullopt;
}

void applyVariables(Expansion& e, const std::map<std::string, std::string>& extra,
                    const ExpansionOptions& options) {
  bool ignoreCase = !options.caseSensitive;
  const EnvironmentIndex* env = options.useEnvironment ? &EnvironmentIndex::current() : nullptr;
  Builtins built;
  for (const std::string& sep : splitSeparators(options.separators)) {
    if (options.useExtraTable && !extra.empty())
      e.scan(sep, [&](const std::string& n) { return findInTable(extra, n, ignoreCase); });
    if (env) e.scan(sep, [&](const std::string& n) { return env->find(n, ignoreCase); });
    if (options.useBuiltins)
      e.scan(sep, [&](const std::string& n) { return built.value(ignoreCase ? toLower(n) : n); });
  }
}

// A result store: exact references first; then, for the names found, their
// upper-cased references give the upper-cased text.
template <typename Map, typename ToText>
void substituteStore(Expansion& e, const Map& store, ToText toText) {
  if (store.empty()) return;
  std::map<std::string, std::string> found;
  e.scan("#", [&](const std::string& name) -> std::optional<std::string> {
    auto it = store.find(name);
    if (it == store.end()) return std::nullopt;
    std::string text = toText(it->second);
    found.emplace(name, text);
    return text;
  });
  std::unordered_map<std::string, std::string> upper;
  for (const auto& [name, text] : found)
    if (toUpper(name) != name) upper.try_emplace(toUpper(name), toUpper(text));
  if (upper.empty()) return;
  e.scan("#", [&](const std::string& name) -> std::optional<std::string> {
    auto it = upper.find(name);
    return it == upper.end() ? std::nullopt : std::optional<std::string>(it->second);
  });
}

// The memo step: exact names, else the memo whose upper-cased name is written.
void applyMemos(Expansion& e, Engine& engine) {
  engine.memos.set("_timestamp_", decimal(clock::nowNumber()));
  const MemoStore& memos = engine.memos;
  e.scan("#", [&](const std::string& name) -> std::optional<std::string> {
    const MemoEntry* entry = memos.find(name);
    if (!entry && toUpper(name) == name) entry = memos.findUpper(name);
    return entry ? std::optional<std::string>(memos.textOf(*entry)) : std::nullopt;
  });
}

}  // namespace

std::string expandVariables(const std::string& input, const std::map<std::string, std::string>& extra,
                            const ExpansionOptions& options) {
  Expansion e{input};
  applyVariables(e, extra, options);
  return e.text;
}

std::string expandText(const std::string& input, const std::string& separators) {
  Expansion e{input};
  const EnvironmentIndex& env = EnvironmentIndex::current();
  Builtins built;
  built.withVersion = true;
  for (const std::string& sep : splitSeparators(separators)) {
    e.scan(sep, [&](const std::string& n) { return env.find(n, true); });
    // Built-ins as written in lower case, or wholly upper-cased for the upper-cased value.
    e.scan(sep, [&](const std::string& n) -> std::optional<std::string> {
      if (std::optional<std::string> v = built.value(n)) return v;
      std::string lower = toLower(n);
      if (toUpper(lower) != n || lower == n) return std::nullopt;
      std::optional<std::string> v = built.value(lower);
      return v ? std::optional<std::string>(toUpper(*v)) : std::nullopt;
    });
  }
  return e.text;
}

std::string substituteMemos(Engine& engine, const std::string& text) {
  Expansion e{text};
  applyMemos(e, engine);
  return e.text;
}

std::string expandAttribute(Engine& engine, const std::string& value, const AttributeExpansion& how) {
  // With a limit, four bytes per character surely hold more than the limit keeps.
  Expansion e{value, how.limit > 0 && how.limit < kExpansionHardCap / 4 ? how.limit * 4 : kExpansionHardCap};
  ResultStores& r = engine.results;
  if (how.dialogAnswers) substituteStore(e, r.dialogs, [](const DialogAnswer& a) { return a.text; });
  if (how.execResults) substituteStore(e, r.exec, [](int64_t code) { return decimal(code); });
  if (how.actionStates) substituteStore(e, r.actionStates, [](int8_t code) { return decimal(code); });
  applyMemos(e, engine);
  ExpansionOptions options;
  options.separators = how.separators;
  options.caseSensitive = false;
  applyVariables(e, {}, options);
  if (how.limit > 0) return firstChars(e.text, how.limit);
  if (e.overflow) {
    engine.log("Expansion arrêtée : le texte dépasse " + decimal(static_cast<int64_t>(kExpansionHardCap >> 20)) +
                   " Mo, la directive est en erreur.", "ERR+2");
    ++engine.expansionOverflows;
    return firstBytes(e.text, kExpansionHardCap);
  }
  return e.text;
}

}  // namespace orv
