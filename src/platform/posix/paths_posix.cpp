// Absolute paths on POSIX. Directive files written for Windows use "\"; a
// path starting with either separator is already absolute. The bytes of the
// path are kept as they are (file names need not be UTF-8 here).
#include <limits.h>
#include <unistd.h>

#include "platform/paths.h"

namespace orv::fs {

std::string absolutePath(const std::string& path) {
  if (path.empty() || path[0] == '/' || path[0] == '\\') return path;
  char buf[PATH_MAX];
  if (!getcwd(buf, sizeof buf)) return path;
  std::string base = buf;
  if (base.empty() || base.back() != '/') base += '/';
  return base + path;
}

}  // namespace orv::fs
