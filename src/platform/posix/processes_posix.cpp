// Running processes from /proc: the executable's path, or the command line's
// first word where the executable cannot be read.
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

std::string executableOf(const std::string& pid) {
  char buffer[4096];
  ssize_t n = readlink(("/proc/" + pid + "/exe").c_str(), buffer, sizeof buffer - 1);
  if (n > 0) return std::string(buffer, static_cast<size_t>(n));
  std::ifstream cmdline("/proc/" + pid + "/cmdline", std::ios::binary);
  std::string first;
  std::getline(cmdline, first, '\0');
  return first;
}

}  // namespace

bool processExists(const std::string& nameOrPath) {
  DIR* d = opendir("/proc");
  if (!d) return false;
  bool byPath = nameOrPath.find('/') != std::string::npos;
  bool found = false;
  while (dirent* e = readdir(d)) {
    if (!std::isdigit(static_cast<unsigned char>(e->d_name[0]))) continue;
    std::string path = executableOf(e->d_name);
    if (path.empty()) continue;
    std::string name = path.substr(path.find_last_of('/') + 1);
    if ((found = sameNoCase(byPath ? path : name, nameOrPath))) break;
  }
  closedir(d);
  return found;
}

}  // namespace orv
