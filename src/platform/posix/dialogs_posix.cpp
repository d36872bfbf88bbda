// No display on POSIX: the box is not shown, the file dialog is cancelled.
#include "platform/dialogs.h"

namespace orv::dialogs {

void showError(const std::string&, const std::string&) {}

std::string openFile(const std::string&, const std::string&) { return ""; }

}  // namespace orv::dialogs
