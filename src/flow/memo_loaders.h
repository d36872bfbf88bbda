// Loading files into the memo store.
#pragma once
#include <string>

namespace orv {

struct Engine;

// Loads INI values into memos: one key of a group, a whole group, or (with an
// empty group) the whole file. Returns 1 or 0.
int loadIniIntoMemos(Engine& engine, const std::string& path, const std::string& key,
                     const std::string& name, const std::string& group, const std::string& mode,
                     const std::string& defaultValue);

}  // namespace orv
