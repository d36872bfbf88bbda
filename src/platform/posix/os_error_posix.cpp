// System messages on POSIX: strerror.
#include <cerrno>
#include <cstring>
#include <type_traits>

#include "platform/os_error.h"

namespace orv::sys {

std::string systemMessage(int64_t code) {
  char buf[256] = {};
  // The GNU form returns the text (maybe not in buf); the XSI form fills buf.
  auto text = strerror_r(static_cast<int>(code), buf, sizeof buf);
  if constexpr (std::is_same_v<decltype(text), char*>)
    return text ? text : "";
  else
    return buf;
}

int64_t lastSystemCode() { return errno; }

}  // namespace orv::sys
