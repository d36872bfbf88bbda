// Absolute paths on Windows: GetFullPathNameW against the current folder.
#include <windows.h>

#include "platform/paths.h"
#include "platform/win32/wide.h"

namespace orv::fs {

std::string absolutePath(const std::string& path) {
  if (path.empty()) return path;
  std::wstring wide = win::widen(path);
  DWORD n = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (n == 0) return path;
  std::wstring full(n, L'\0');
  DWORD len = GetFullPathNameW(wide.c_str(), n, full.data(), nullptr);
  if (len == 0 || len >= n) return path;
  return win::narrow(full.data(), len);
}

}  // namespace orv::fs
