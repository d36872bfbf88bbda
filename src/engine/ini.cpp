#include "engine/ini.h"

#include <map>

#include "engine/text_util.h"
#include "platform/file_ops.h"
#include "platform/filelock.h"
#include "platform/files.h"
#include "platform/text.h"

namespace orv {

static const std::string kMark = "\xEF\xBB\xBF";

static std::string trim(const std::string& s) {
  size_t b = s.find_first_not_of(" \t");
  if (b == std::string::npos) return "";
  size_t e = s.find_last_not_of(" \t");
  return s.substr(b, e - b + 1);
}

// A name or value as one line: a line break in it would start another line of
// the file (a forged group or key), so each CR and LF stands as a blank.
static std::string oneLine(const std::string& text) {
  std::string out = text;
  for (char& c : out)
    if (c == '\r' || c == '\n') c = ' ';
  return out;
}

IniFile IniFile::parse(const std::string& input) {
  IniFile ini;
  std::string text = input;
  if (text.compare(0, kMark.size(), kMark) == 0) {
    ini.utf8Mark_ = true;
    text = text.substr(kMark.size());
    // The mark is written followed by a line end; that line is part of the header.
    if (text.compare(0, 2, "\r\n") == 0)
      text = text.substr(2);
    else if (!text.empty() && text[0] == '\n')
      text = text.substr(1);
  } else {
    text = text::ansiToUtf8(text);
  }
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    std::string raw = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (!raw.empty() && raw.back() == '\r') raw.pop_back();
    start = end == std::string::npos ? text.size() : end + 1;
    Line line;
    line.raw = raw;
    std::string t = trim(raw);
    if (t.size() >= 2 && t.front() == '[' && t.back() == ']') {
      line.kind = Kind::Group;
      line.name = trim(t.substr(1, t.size() - 2));
    } else if (size_t eq = t.find('='); eq != std::string::npos && eq > 0 && t[0] != ';') {
      line.kind = Kind::Key;
      line.name = trim(t.substr(0, eq));
      line.value = trim(t.substr(eq + 1));
    }
    ini.lines_.push_back(std::move(line));
  }
  return ini;
}

std::optional<IniFile> IniFile::load(const std::string& path) {
  std::optional<std::string> bytes = fs::readFile(path);
  if (!bytes) return std::nullopt;
  return parse(*bytes);
}

std::vector<std::string> IniFile::groups() const {
  std::vector<std::string> out;
  for (const Line& l : lines_)
    if (l.kind == Kind::Group) out.push_back(l.name);
  return out;
}

std::optional<std::string> IniFile::findGroup(const std::string& wanted) const {
  std::string group = oneLine(wanted);
  for (const Line& l : lines_)
    if (l.kind == Kind::Group && equalsNoCase(l.name, group)) return l.name;
  return std::nullopt;
}

std::vector<std::pair<std::string, std::string>> IniFile::entries(const std::string& wanted) const {
  std::string group = oneLine(wanted);
  std::vector<std::pair<std::string, std::string>> out;
  bool inside = false;
  for (const Line& l : lines_) {
    if (l.kind == Kind::Group)
      inside = equalsNoCase(l.name, group);
    else if (inside && l.kind == Kind::Key)
      out.emplace_back(l.name, l.value);
  }
  return out;
}

std::vector<std::pair<std::string, std::vector<std::pair<std::string, std::string>>>> IniFile::allGroups()
    const {
  // Groups written several times (in any case) share one list of entries.
  std::map<std::string, std::vector<std::pair<std::string, std::string>>> byName;
  std::vector<std::pair<std::string, std::string>>* current = nullptr;
  for (const Line& l : lines_) {
    if (l.kind == Kind::Group)
      current = &byName[toLower(l.name)];
    else if (current && l.kind == Kind::Key)
      current->emplace_back(l.name, l.value);
  }
  std::vector<std::pair<std::string, std::vector<std::pair<std::string, std::string>>>> out;
  for (const Line& l : lines_)
    if (l.kind == Kind::Group) out.emplace_back(l.name, byName[toLower(l.name)]);
  return out;
}

std::optional<std::string> IniFile::get(const std::string& group, const std::string& key) const {
  for (const auto& [name, value] : entries(group))
    if (equalsNoCase(name, oneLine(key))) return value;
  return std::nullopt;
}

// Index just past the last key line of the group starting at groupLine.
int IniFile::groupEnd(size_t groupLine) const {
  size_t end = groupLine + 1;
  for (size_t i = groupLine + 1; i < lines_.size() && lines_[i].kind != Kind::Group; ++i)
    if (lines_[i].kind == Kind::Key) end = i + 1;
  return static_cast<int>(end);
}

void IniFile::set(const std::string& groupText, const std::string& keyText, const std::string& valueText) {
  std::string group = oneLine(groupText), key = oneLine(keyText), value = oneLine(valueText);
  bool inside = false;
  int firstGroup = -1;
  for (size_t i = 0; i < lines_.size(); ++i) {
    Line& l = lines_[i];
    if (l.kind == Kind::Group) {
      inside = equalsNoCase(l.name, group);
      if (inside && firstGroup < 0) firstGroup = static_cast<int>(i);
    } else if (inside && l.kind == Kind::Key && equalsNoCase(l.name, key)) {
      l.value = value;
      l.raw = l.name + " = " + value;
      return;
    }
  }
  Line line{Kind::Key, key + " = " + value, key, value};
  if (firstGroup >= 0) {
    lines_.insert(lines_.begin() + groupEnd(static_cast<size_t>(firstGroup)), line);
    return;
  }
  lines_.push_back(Line{Kind::Group, "[" + group + "]", group, ""});
  lines_.push_back(line);
}

std::string IniFile::serialize() const {
  std::string text;
  for (const Line& l : lines_) text += l.raw + "\r\n";
  if (utf8Mark_) return kMark + "\r\n" + text;
  return text::utf8ToAnsi(text);
}

bool IniFile::save(const std::string& path) const {
  return fs::fileOps().replaceFileContent(path, serialize());
}

bool IniFile::update(const std::string& path, const std::function<void(IniFile&)>& change) {
  fs::FileLock lock(path);
  if (!lock.held()) return false;
  std::optional<IniFile> ini = load(path);
  if (!ini) return false;
  change(*ini);
  return ini->save(path);
}

std::optional<IniFile> IniFile::loadLocked(const std::string& path) {
  fs::FileLock lock(path);  // without it (read-only folder) the file is still read
  return load(path);
}

}  // namespace orv
