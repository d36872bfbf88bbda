#include <dlfcn.h>
#include <unistd.h>

#include <cerrno>

#include "platform/library.h"

namespace orv::lib {

namespace {

void fill(SystemError& error, const char* call, int code) {
  error.call = call;
  error.code = code;
  const char* text = dlerror();
  error.message = text ? text : "";
}

}  // namespace

void* loadLibrary(const std::string& absolute, SystemError& error) {
  dlerror();
  errno = 0;
  // A path with a "/" is opened as is: dlopen does not search for it.
  void* handle = dlopen(absolute.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) fill(error, "dlopen", errno);
  return handle;
}

void* findSymbol(void* handle, const std::string& name, SystemError& error) {
  dlerror();
  void* address = dlsym(handle, name.c_str());
  if (!address) fill(error, "dlsym", 0);
  return address;
}

bool unloadLibrary(void* handle, SystemError& error) {
  dlerror();
  if (dlclose(handle) == 0) return true;
  fill(error, "dlclose", 0);
  return false;
}

std::string nativeTextBlock(const std::string& utf8) { return utf8 + '\0'; }

}  // namespace orv::lib
