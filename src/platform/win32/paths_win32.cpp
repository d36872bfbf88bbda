// Absolute paths on Windows: GetFullPathNameW against the current folder.
#include <windows.h>

#include "platform/paths.h"
#include "platform/win32/wide.h"

namespace orv::fs {

std::string absolutePath(const std::string& path) {
  if (path.empty()) return path;
  std::wstring full = win::fullPath(win::widen(path));
  return full.empty() ? path : win::narrow(full);
}

}  // namespace orv::fs
