// System messages on Windows: FormatMessageW in the user's language.
#include <windows.h>

#include "platform/os_error.h"
#include "platform/win32/wide.h"

namespace orv::sys {

std::string systemMessage(int64_t code) {
  wchar_t* buf = nullptr;
  DWORD n = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
      static_cast<DWORD>(code), 0, reinterpret_cast<wchar_t*>(&buf), 0, nullptr);
  std::string text = n && buf ? win::narrow(buf, n) : std::string();
  if (buf) LocalFree(buf);
  while (!text.empty() &&
         (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' || text.back() == '.'))
    text.pop_back();
  return text;
}

int64_t lastSystemCode() { return static_cast<int64_t>(GetLastError()); }

}  // namespace orv::sys
