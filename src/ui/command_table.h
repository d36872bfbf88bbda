// The command table: named programs declared by COMOGUI that the person at the
// machine starts by typing the name in the progress window's command box.
// Shared by the interpreter thread and the window thread under one lock.
#pragma once
#include <string>

namespace orv::ui {

struct Command {
  std::string program, parameters, workingDirectory;
};

// Adds the entry name (exact, case-sensitive), replacing an earlier one.
void setCommand(const std::string& name, Command c);

// Starts the program of the entry name with its parameters in its working
// directory, without waiting for it. False when the name is unknown, the
// entry has no program or the program did not start. The table's lock is
// held only while the entry is copied, never while the program starts.
bool runCommand(const std::string& name);

// A copy of the entry name, or false when there is none (tests, diagnostics).
bool findCommand(const std::string& name, Command& out);

}  // namespace orv::ui
