// Path and failure helpers shared by the POSIX file twins.
#pragma once
#include <string>

#include "platform/os_error.h"

namespace orv::posix {

// Directive files written for Windows use "\": it is a separator here too.
inline std::string native(const std::string& path) {
  std::string out = path;
  for (char& c : out)
    if (c == '\\') c = '/';
  return out;
}

// Records the failure of call on path (errno kept from the failing call) and answers false.
inline bool failed(const char* call, const std::string& path) {
  sys::recordLastOsError(call, path);
  return false;
}

}  // namespace orv::posix
