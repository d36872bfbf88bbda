// ANSI code page conversions through the system's tables.
#include <windows.h>

#include "platform/text.h"
#include "platform/win32/wide.h"

namespace orv::text {

std::string ansiToUtf8(const std::string& bytes) {
  if (bytes.empty()) return {};
  int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring w(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), w.data(), n);
  return win::narrow(w);
}

std::string utf8ToAnsi(const std::string& utf8) {
  std::wstring w = win::widen(utf8);
  if (w.empty()) return {};
  int n = WideCharToMultiByte(CP_ACP, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, "?", nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, w.data(), static_cast<int>(w.size()), out.data(), n, "?", nullptr);
  return out;
}

}  // namespace orv::text
