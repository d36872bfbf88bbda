// Blocking dialogs of the start-up sequence. Without a display (POSIX builds)
// the message box is not shown and the file dialog behaves as cancelled.
#pragma once
#include <string>

namespace orv::dialogs {

// Shows an error message box and waits until it is closed.
void showError(const std::string& title, const std::string& text);
// Open-file dialog; filter is "label|pattern|label|pattern". Empty text when cancelled.
std::string openFile(const std::string& title, const std::string& filter);

}  // namespace orv::dialogs
