// Dialogs that ask the person at the machine something while the directives
// run: a message box, a line of text, a folder, a file. Where no one can
// answer (no interactive desktop; always on POSIX builds, which link no GUI
// toolkit) nothing is shown.
#pragma once
#include <string>

namespace orv::ask {

// Message box style bits, as MessageBoxW reads them.
inline constexpr unsigned kYesNo = 0x4, kYesNoCancel = 0x3, kOk = 0x0;
inline constexpr unsigned kIconStop = 0x10, kIconQuestion = 0x20, kIconWarn = 0x30, kIconNotify = 0x40;

// True when a dialog can be seen and answered: an interactive desktop
// (not a service or session 0). Always false on POSIX.
bool interactiveDesktop();
// Shows a modal message box; the code of the pressed button, 0 when none was shown.
int messageBox(const std::string& title, const std::string& text, unsigned style);
// Modal text entry with a prompt and a default text; empty when cancelled.
std::string inputBox(const std::string& title, const std::string& prompt, const std::string& defaultText);
// The shell's folder browser, defaultPath preselected; empty when cancelled.
// The process's working directory is left as it was.
std::string browseFolder(const std::string& title, const std::string& defaultPath);
// Open-file dialog; filter is "label|pattern|label|pattern", the first one
// selected; empty when cancelled. The working directory is left as it was.
std::string chooseFile(const std::string& title, const std::string& filter, const std::string& defaultFile);

}  // namespace orv::ask
