// Windows wildcard patterns matched against entry names, portably.
#pragma once
#include <string>

namespace orv {

// True when name matches pattern the way FindFirstFileW enumerates: "*", "?",
// with the DOS rules for dots ("*.*" and "*." also match names without a dot,
// "?" may match nothing before a dot or at the end, a trailing dot matches the
// end of the name). Case-insensitive. An empty pattern matches every name.
bool matchFindPattern(const std::string& name, const std::string& pattern);

// True when name matches the shell's file filter the way PathMatchSpecW does:
// masks separated by ";" (leading blanks skipped), "*" any run, "?" exactly one
// character, "*.*" alone matches everything. Case-insensitive. An empty filter
// matches every name.
bool matchFileFilter(const std::string& name, const std::string& filter);

}  // namespace orv
