#include "engine/expand.h"

#include <functional>
#include <optional>
#include <set>
#include <unordered_map>
#include <utility>
#include <vector>

#include "engine/clock.h"
#include "engine/engine.h"
#include "engine/text_util.h"
#include "engine/log_writer.h"
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
    // Shared by the main and interpreter threads, which never expand at the same time.
    static EnvironmentIndex index;
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
  // A variable's value, the environment read at the first reference only.
  static std::optional<std::string> lookup(const std::string& name, bool ignoreCase) {
    return current().find(name, ignoreCase);
  }
  std::optional<std::string> find(const std::string& name, bool ignoreCase) const {
    const auto& index = ignoreCase ? upper : exact;
    auto it = index.find(ignoreCase ? toUpper(name) : name);
    if (it == index.end()) return std::nullopt;
    return entries[it->second].second;
  }
};

enum class Builtin {
  OxlaneVersion,
  Version,
  Hour,
  Minute,
  Second,
  Year,
  ShortYear,
  Month,
  Day,
  CurrentDir,
  ProgramName,
  Home
};

const std::unordered_map<std::string, Builtin>& builtinNames() {
  static const std::unordered_map<std::string, Builtin> names = {{"oxlane_version", Builtin::OxlaneVersion},
                                                                 {"version", Builtin::Version},
                                                                 {"h", Builtin::Hour},
                                                                 {"mi", Builtin::Minute},
                                                                 {"s", Builtin::Second},
                                                                 {"yyyy", Builtin::Year},
                                                                 {"y", Builtin::ShortYear},
                                                                 {"m", Builtin::Month},
                                                                 {"d", Builtin::Day},
                                                                 {"currentdir", Builtin::CurrentDir},
                                                                 {"programname", Builtin::ProgramName},
                                                                 {"home", Builtin::Home}};
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
  Builtins built;
  for (const std::string& sep : splitSeparators(options.separators)) {
    if (options.useExtraTable && !extra.empty())
      e.scan(sep, [&](const std::string& n) { return findInTable(extra, n, ignoreCase); });
    if (options.useEnvironment)
      e.scan(sep, [&](const std::string& n) { return EnvironmentIndex::lookup(n, ignoreCase); });
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

// Replaces every occurrence of from by to, left to right, without rescanning
// what it inserts; stops (setting overflow) once the text outgrows maxBytes.
bool replaceBounded(std::string& text, const std::string& from, const std::string& to, size_t maxBytes,
                    bool& overflow) {
  size_t hit = text.find(from);
  if (hit == std::string::npos) return false;
  std::string out;
  size_t pos = 0;
  for (; hit != std::string::npos; hit = text.find(from, pos)) {
    out.append(text, pos, hit - pos).append(to);
    pos = hit + from.size();
    if (out.size() > maxBytes) {
      overflow = true;
      break;
    }
  }
  if (!overflow) out.append(text, pos, std::string::npos);
  text = std::move(out);
  return true;
}

// Memo names the text references ("#name#", or "#NAME#" for any memo of that
// upper-cased name) that come after `after` in the store's name order.
void referencedMemos(const std::string& text, const MemoStore& memos, const std::string* after,
                     std::set<std::string>& out) {
  for (size_t open = text.find('#'); open != std::string::npos;) {
    size_t close = text.find('#', open + 1);
    if (close == std::string::npos) break;
    std::string name = text.substr(open + 1, close - open - 1);
    if (!name.empty()) {
      if (memos.find(name) && (!after || name > *after)) out.insert(name);
      for (std::string_view n : memos.namesWithUpper(name))
        if (!after || n > *after) out.emplace(n);
    }
    open = close;
  }
}

// The memo step. Memos are visited in name order, each replacing its exact
// reference and its upper-cased one; text a memo inserts is looked at again
// only for memos later in that order, as a walk of the whole store would.
// Only the memos the text references are visited.
void applyMemos(Expansion& e, Engine& engine) {
  engine.memos.set("_timestamp_", decimal(clock::nowNumber()));
  if (e.overflow || e.text.find('#') == std::string::npos) return;
  const MemoStore& memos = engine.memos;
  std::set<std::string> pending;
  referencedMemos(e.text, memos, nullptr, pending);
  while (!pending.empty() && !e.overflow) {
    std::string name = *pending.begin();
    pending.erase(pending.begin());
    const MemoEntry* entry = memos.find(name);
    if (!entry) continue;
    std::string ref = "#" + name + "#", upper = "#" + toUpper(name) + "#";
    bool exact = e.text.find(ref) != std::string::npos;
    bool caps = e.text.find(upper) != std::string::npos;
    if (!exact && !caps) continue;
    std::string value = memos.textOf(*entry);
    if (exact) replaceBounded(e.text, ref, value, e.maxBytes, e.overflow);
    if (caps && !e.overflow) replaceBounded(e.text, upper, value, e.maxBytes, e.overflow);
    referencedMemos(e.text, memos, &name, pending);
  }
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
  Builtins built;
  built.withVersion = true;
  for (const std::string& sep : splitSeparators(separators)) {
    e.scan(sep, [](const std::string& n) { return EnvironmentIndex::lookup(n, true); });
    // Built-ins as written in lower case, or wholly upper-cased for the upper-cased value.
    e.scan(sep, [&](const std::string& n) -> std::optional<std::string> {
      if (std::optional<std::string> v = built.value(n)) return v;
      std::string lower = toLower(n);
      if (toUpper(lower) != n || lower == n) return std::nullopt;
      std::optional<std::string> v = built.value(lower);
      if (!v) return std::nullopt;
      // A folder keeps its spelling: upper-cased it would name another folder
      // wherever case matters, and the journal or the file would be looked for there.
      bool folder = lower == "currentdir" || lower == "home";
      return folder ? *v : toUpper(*v);
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
  if (how.variables) applyVariables(e, {}, options);
  if (how.limit > 0) return firstChars(e.text, how.limit);
  if (e.overflow) {
    engine.log("Expansion arrêtée : le texte dépasse " +
                   decimal(static_cast<int64_t>(kExpansionHardCap >> 20)) +
                   " Mo, la directive est en erreur.",
               "ERR+2");
    ++engine.expansionOverflows;
    return firstBytes(e.text, kExpansionHardCap);
  }
  return e.text;
}

}  // namespace orv
