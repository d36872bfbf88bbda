// The INI facility: groups of "name = value" lines, read and rewritten with
// every untouched line kept as it was. UTF-8 with a byte-order mark, or the
// ANSI code page without one.
#pragma once
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace orv {

class IniFile {
 public:
  // Parses file bytes (a leading UTF-8 mark selects UTF-8, else the ANSI code page).
  static IniFile parse(const std::string& bytes);
  // Reads a file; nothing when it cannot be opened.
  static std::optional<IniFile> load(const std::string& path);

  // Group names in file order.
  std::vector<std::string> groups() const;
  // The group's name as written in the file, when it exists (matched ignoring case).
  std::optional<std::string> findGroup(const std::string& group) const;
  // Keys and values of a group, in file order (every occurrence of the group).
  std::vector<std::pair<std::string, std::string>> entries(const std::string& group) const;
  // Every group line in file order with entries() of its name, in one pass.
  std::vector<std::pair<std::string, std::vector<std::pair<std::string, std::string>>>> allGroups() const;
  // A key's value in a group (first match, ignoring case).
  std::optional<std::string> get(const std::string& group, const std::string& key) const;
  // Replaces a key's value, or adds the key (and the group) when missing.
  // Line breaks in the group, key or value are written (and looked up) as blanks.
  void set(const std::string& group, const std::string& key, const std::string& value);

  // The bytes of the file: CR LF line ends, the mark kept when it was there.
  std::string serialize() const;
  // Writes the file through a temporary file and an atomic rename.
  bool save(const std::string& path) const;
  // Under the file's lock: reads it, applies change and rewrites it. False
  // (file untouched) when it cannot be locked, read or written, so runs
  // sharing a file never lose each other's changes.
  static bool update(const std::string& path, const std::function<void(IniFile&)>& change);
  // Reads a file under its lock when it can be taken (never amid another run's rewrite).
  static std::optional<IniFile> loadLocked(const std::string& path);
  bool hasMark() const { return utf8Mark_; }

 private:
  enum class Kind { Other, Group, Key };
  struct Line {
    Kind kind = Kind::Other;
    std::string raw;    // the line as read (UTF-8), without its line end
    std::string name;   // group or key name
    std::string value;  // key value
  };
  int groupEnd(size_t groupLine) const;
  std::vector<Line> lines_;
  bool utf8Mark_ = false;
};

}  // namespace orv
