// Loading files into the memo store.
#pragma once
#include <string>
#include <vector>

namespace orv {

struct Engine;

// Loads INI values into memos: one key of a group, a whole group, or (with an
// empty group) the whole file. Returns 1 or 0.
int loadIniIntoMemos(Engine& engine, const std::string& path, const std::string& key,
                     const std::string& name, const std::string& group, const std::string& mode,
                     const std::string& defaultValue);
// Loads one line of a text file (the first whose number is in the comma list),
// or with an empty list the whole file into a memory block. Returns 1 or 0.
int loadFileIntoMemo(Engine& engine, const std::string& path, const std::string& lines,
                     const std::string& name);
// The lines of a text: CR, LF, CR LF or NUL ends a line; a leading UTF-8 mark is dropped.
std::vector<std::string> splitTextLines(const std::string& bytes);

}  // namespace orv
