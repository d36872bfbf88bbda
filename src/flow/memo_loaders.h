// Loading files into the memo store.
#pragma once
#include <string>
#include <vector>

namespace orv {

struct Engine;

// What loadIniIntoMemos reads, and under which names it keeps it.
struct IniMemoRequest {
  std::string path = {};          // the INI file
  std::string group = {};         // empty: every group of the file
  std::string key = {};           // one key of group; empty: every key of it
  std::string name = {};          // memo name of that one key (empty: the key)
  std::string defaultValue = {};  // value of that one key when it is missing
  bool withGroupName = false;     // memos of a group are named group + "_" + key
};

// Loads INI values into memos: one key of a group, a whole group, or (with an
// empty group) the whole file. Returns 1 or 0.
int loadIniIntoMemos(Engine& engine, const IniMemoRequest& request);
// Loads one line of a text file (the first whose number is in the comma list),
// or with an empty list the whole file into a memory block. Returns 1 or 0.
int loadFileIntoMemo(Engine& engine, const std::string& path, const std::string& lines,
                     const std::string& name);
// The lines of a text: CR, LF, CR LF or NUL ends a line; a leading UTF-8 mark is dropped.
std::vector<std::string> splitTextLines(const std::string& bytes);

}  // namespace orv
