// No GUI toolkit on POSIX builds: no one can answer, nothing is shown.
#include "platform/ask.h"

namespace orv::ask {

bool interactiveDesktop() { return false; }

int messageBox(const std::string&, const std::string&, unsigned) { return 0; }

std::string inputBox(const std::string&, const std::string&, const std::string&) { return ""; }

std::string browseFolder(const std::string&, const std::string&) { return ""; }

std::string chooseFile(const std::string&, const std::string&, const std::string&) { return ""; }

}  // namespace orv::ask
