#include "tools/language.h"

#include <algorithm>

#include "engine/period.h"
#include "engine/text_util.h"

namespace orv::lang {

namespace {

using K = ValueKind;

AttributeRule text(const char* name) { return {name}; }
AttributeRule required(const char* name) { return {name, K::Text, true}; }
AttributeRule number(const char* name) { return {name, K::Number}; }
AttributeRule words(const char* name, std::vector<std::string> list, const char* fallback = "",
                    bool exact = false) {
  return {name, K::Keyword, false, std::move(list), fallback, exact};
}
// "true" switches something on; any other value leaves it off.
AttributeRule flag(const char* name, bool exact = false) {
  return words(name, {"true", "false"}, "false", exact);
}
AttributeRule policy(const char* name = "blocktagerror") { return {name, K::Policy}; }
AttributeRule blocktag() { return {"blocktag", K::Blocktag}; }

std::vector<TagRule> buildLanguage() {
  return {
      {"ORVANTIS", true,
       {text("log"), text("actionsfile"), text("locationregistry"), flag("enableregistry64", true),
        policy(), policy("blockaction"), text("description")}},
      {"ACTION", false,
       {required("name"), {"version", K::Version}, {"versiondate", K::VersionPeriod},
        text("descriptionaction"), policy(), policy("blockaction")}},
      {"CHECK", false,
       {words("type", {"directory", "file", "registry", "adgroup", "adusergroup", "computeradgroup",
                       "process", "freespace", "sysver", "arch", "date", "exec", "lib", "action", "memo",
                       "parameter", "msgbox"}),
        text("location"), text("value"), text("mode"), text("name"), blocktag()}},
      {"COPY", false,
       {words("type", {"file", "directory"}), text("sourcelocation"), text("targetlocation"),
        text("filefilter"), text("mode"), policy()}},
      {"EXEC", false,
       {text("name"), required("programlocation"), text("parameters"), text("workingdirectory"),
        text("mode"), number("waitingtime"), text("output"), text("validreturncode"), policy()}},
      {"REGISTRY", false,
       {words("mode", {"add", "del", "delkey"}), text("location"), text("valuename"), text("value"),
        words("type", {"reg_sz", "reg_expand_sz", "reg_multi_sz", "reg_dword", "reg_binary", "reg_none"},
              "reg_none"),
        flag("enableregistry64"), policy()}},
      {"LOCALUSERGROUP", false,
       {words("type", {"member", "group", "user"}), words("mode", {"add", "delete", "check"}),
        text("username"), text("password"), text("groupname"), policy()}},
      {"RENAMEDISK", false, {text("drive"), text("newname"), policy()}},
      {"CREATE", false,
       {words("type", {"directory", "file", "evariable"}), text("location"), text("value"), text("name"),
        text("mode"), policy()}},
      {"SHORTCUT", false,
       {text("location"), text("targetpath"), text("parameters"), text("comment"),
        text("workingdirectory"), words("openmode", {"mini", "maxi", "normal"}, "normal", true),
        text("fileicon"), number("fileiconindex"), policy()}},
      {"SCREENSHOT", false,
       {text("filepath"), words("mode", {"full", "size"}, "full"), number("widthposition"),
        number("heightposition"), number("width"), number("height"),
        words("type", {"bmp", "png", "jpg", "jpeg"}, "jpeg"), number("ratio"), policy()}},
      {"MSGBOX", false,
       {text("title"), text("name"), text("text"), words("type", {"ok", "yesno", "yesnocancel"}, "ok"),
        words("icontype", {"stop", "question", "warn", "notify", "none"}, "none"), policy()}},
      {"SESSION", false,
       {words("type", {"reboot", "shutdown", "lock", "logoff", "quit", "actionquit", "returncode"}),
        text("value"), policy()}},
      {"DELETE", false,
       {words("type", {"file", "directory", "cleandir"}, "", true), text("location"), text("filefilter"),
        text("mode"), policy()}},
      {"PAUSE", false, {{"value", K::Period}, policy()}},
      {"MAIL", false,
       {text("server"), number("smtpport"), text("to"), text("cc"), text("bcc"), text("object"),
        text("content"), text("sendername"), text("attachement"), words("type", {"utf-8", "ascii"}, "ascii"),
        policy()}},
      {"MEMO", false,
       {words("type", {"internal", "file", "ini", "registry", "parameters", "clipboard"}), text("name"),
        text("value"), text("location"), text("line"), text("groupname"), text("mode"), policy()}},
      {"INPUTBOX", false,
       {required("name"), text("title"), text("message"), text("defaultvalue"), policy()}},
      {"PATHBOX", false, {required("name"), text("title"), text("defaultpath"), policy()}},
      {"FILEBOX", false,
       {required("name"), text("title"), text("filefilter"), text("defaultfile"), policy()}},
      {"HTTP", false, {required("url"), required("localfile"), number("retry"), policy()}},
      {"COMOGUI", false,
       {text("name"), text("programlocation"), text("parameters"), text("workingdirectory"), policy()}},
      {"WAIT", false,
       {words("type", {"regkey", "regvalue", "file", "process", "ping"}), words("mode", {"detect", "lost"}),
        text("location"), text("value"), text("valuename"), number("timeout"), number("refreshtime"),
        blocktag()}},
      {"LOG", false,
       {words("mode", {"stop", "start"}, "", true), text("location"), number("maxsize"),
        number("maxarchive"), text("text")}},
      {"WINDOW", false,
       {words("type", {"create", "alter", "delete", "hide", "show"}), text("titlewindow"), text("windowx"),
        text("windowy"), text("logoimage"), text("icon"), text("backgroundcolor"), text("textcolor"),
        text("textbackgroundlistaction"), text("textcolorlistaction"), flag("openlistaction"),
        flag("foregroundwindow"), text("displaylevel"), text("description")}},
      {"FOR", false,
       {words("type", {"count", "file", "filetext", "filedir"}), text("value"), text("location"), policy()}},
      {"WHILE", false, {text("type"), text("mode"), text("valuename"), text("value"), policy()}},
      {"ORVANTIS", false,
       {text("workingdir"), number("waitatclose"), flag("redirectionfs64"), flag("enableregistry64"),
        flag("logcomment"), policy()}},
      {"PLUGIN", false,
       {text("location"), text("type"), text("name"), flag("noplugininfo"), text("mode"), policy()}},
      {"LIB", false,
       {text("location"), required("name"), required("function"),
        words("ptype#", {"string", "integer", "quad", "double", "float"}, "", true), text("pvalue#"),
        text("validreturncode"), text("mode"), policy()}},
      {"SYSTRAY", false,
       {words("type", {"create", "delete", "notify"}, "create"), text("name"), text("text"),
        text("description"), text("title"), text("icon"),
        words("balloonico", {"none", "info", "warn", "error"}, "none"), policy()}},
  };
}

// "ptype12" matches the numbered name "ptype#".
bool matchesNumbered(std::string_view pattern, std::string_view name) {
  if (pattern.empty() || pattern.back() != '#') return false;
  std::string_view stem = pattern.substr(0, pattern.size() - 1);
  if (name.size() <= stem.size() || name.substr(0, stem.size()) != stem) return false;
  std::string_view digits = name.substr(stem.size());
  return digits[0] != '0' && std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

const std::vector<TagRule>& directiveLanguage() {
  static const std::vector<TagRule> language = buildLanguage();
  return language;
}

const TagRule* findDirective(std::string_view tag) {
  for (const TagRule& rule : directiveLanguage())
    if (!rule.root && rule.tag == tag) return &rule;
  return nullptr;
}

const TagRule& rootRule() { return directiveLanguage().front(); }

const AttributeRule* findAttribute(const TagRule& rule, std::string_view lowerName) {
  for (const AttributeRule& a : rule.attributes)
    if (a.name == lowerName || matchesNumbered(a.name, lowerName)) return &a;
  return nullptr;
}

size_t editDistance(std::string_view a, std::string_view b) {
  // Optimal string alignment: a swapped pair of letters counts as one edit.
  std::vector<std::vector<size_t>> d(a.size() + 1, std::vector<size_t>(b.size() + 1));
  for (size_t i = 0; i <= a.size(); ++i) d[i][0] = i;
  for (size_t j = 0; j <= b.size(); ++j) d[0][j] = j;
  for (size_t i = 1; i <= a.size(); ++i)
    for (size_t j = 1; j <= b.size(); ++j) {
      size_t cost = a[i - 1] == b[j - 1] ? 0 : 1;
      d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + cost});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
        d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
    }
  return d[a.size()][b.size()];
}

std::string closest(std::string_view word, const std::vector<std::string>& candidates) {
  std::string best;
  size_t bestDistance = 3;
  for (const std::string& c : candidates) {
    size_t distance = editDistance(word, c);
    if (distance < bestDistance) {
      bestDistance = distance;
      best = c;
    }
  }
  return best;
}

bool hasNumberDigits(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
  if (i >= text.size()) return false;
  auto isHex = [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); };
  if (text[i] == '$') return i + 1 < text.size() && isHex(text[i + 1]);
  if (text[i] == '%') return i + 1 < text.size() && (text[i + 1] == '0' || text[i + 1] == '1');
  return text[i] >= '0' && text[i] <= '9';
}

std::vector<std::string> unknownPeriodUnits(std::string_view period) {
  std::vector<std::string> unknown;
  size_t start = 0;
  for (;;) {
    size_t comma = period.find(',', start);
    std::string_view entry = period.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start);
    std::string unit = toLower(entry.substr(0, entry.find(':')));
    if (periodUnitSeconds(unit) < 0) unknown.emplace_back(entry);
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  return unknown;
}

}  // namespace orv::lang
