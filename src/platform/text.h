// Character-set conversions at the edges of the program (UTF-8 inside).
#pragma once
#include <string>

namespace orv::text {

// Bytes in the system's ANSI code page (Windows-1252 on POSIX) to UTF-8.
std::string ansiToUtf8(const std::string& bytes);
// UTF-8 to the ANSI code page; characters it lacks become "?".
std::string utf8ToAnsi(const std::string& utf8);

}  // namespace orv::text
