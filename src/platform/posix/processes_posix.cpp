// Running processes from /proc: the executable's path from /proc/PID/exe,
// or the first word of /proc/PID/cmdline when that link cannot be read
// (another user's process). /proc/PID/comm is cut at 15 characters, so it
// never decides.
#include <dirent.h>
#include <unistd.h>

#include <cctype>
#include <fstream>
#include <iterator>

#include "platform/processes.h"

namespace orv {

namespace {

bool sameNoCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

std::string baseName(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string exeLink(const std::string& dir) {
  char buf[4096];
  ssize_t n = readlink((dir + "/exe").c_str(), buf, sizeof buf - 1);
  if (n <= 0) return {};
  std::string path(buf, static_cast<size_t>(n));
  // A replaced or deleted executable reads "PATH (deleted)".
  const std::string deleted = " (deleted)";
  if (path.size() > deleted.size() &&
      path.compare(path.size() - deleted.size(), deleted.size(), deleted) == 0)
    path.resize(path.size() - deleted.size());
  return path;
}

std::string firstArgument(const std::string& dir) {
  std::ifstream in(dir + "/cmdline", std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return text.substr(0, text.find('\0'));
}

bool matches(const std::string& dir, const std::string& wanted, bool byPath) {
  std::string exe = exeLink(dir);
  if (exe.empty()) exe = firstArgument(dir);
  if (exe.empty()) return false;
  return sameNoCase(byPath ? exe : baseName(exe), wanted);
}

}  // namespace

bool processExists(const std::string& nameOrPath) {
  if (nameOrPath.empty()) return false;
  bool byPath = nameOrPath.find('/') != std::string::npos;
  DIR* proc = opendir("/proc");
  if (!proc) return false;
  bool found = false;
  while (dirent* entry = readdir(proc)) {
    if (!std::isdigit(static_cast<unsigned char>(entry->d_name[0]))) continue;
    if (matches(std::string("/proc/") + entry->d_name, nameOrPath, byPath)) {
      found = true;
      break;
    }
  }
  closedir(proc);
  return found;
}

}  // namespace orv
