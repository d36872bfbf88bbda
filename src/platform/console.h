// The text report of the administrator tools (/validate, /plan) on the
// standard output, also when the program is a desktop one.
#pragma once
#include <string>

namespace orv::console {

// Makes the standard output reach the console of the command prompt that
// started the program, when it has none of its own and was not redirected.
void attachParentConsole();
// Writes UTF-8 text to the standard output (nothing when it leads nowhere).
void writeOut(const std::string& text);

}  // namespace orv::console
