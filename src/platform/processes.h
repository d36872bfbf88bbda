// Running processes, looked up by executable name or by full path.
#pragma once
#include <string>

namespace orv {

// True when a running process matches: by full path of its executable when
// nameOrPath holds a path separator ("\" on Windows, "/" elsewhere), else by
// executable file name. Case is ignored. False when the list cannot be read.
bool processExists(const std::string& nameOrPath);

}  // namespace orv
