// Loading libraries (DLLs, shared objects) by path and finding their exports.
#pragma once
#include <cstdint>
#include <string>

namespace orv::lib {

// A failed system call: its name, the system's error code and its text.
struct SystemError {
  std::string call;
  int64_t code = 0;
  std::string message;
};

// Loads the library file at an absolute path, never searching for it; on
// Windows its own dependencies are looked up in its folder and the system's.
// Null on failure, with error filled.
void* loadLibrary(const std::string& absolute, SystemError& error);
// The address of an exported symbol, or null (error filled).
void* findSymbol(void* handle, const std::string& name, SystemError& error);
// Unloads a library loaded by loadLibrary; false on failure (error filled).
bool unloadLibrary(void* handle, SystemError& error);
// A text parameter as the platform's C functions expect it, NUL included:
// UTF-16 on Windows, UTF-8 elsewhere.
std::string nativeTextBlock(const std::string& utf8);

}  // namespace orv::lib
