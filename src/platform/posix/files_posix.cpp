// POSIX files and folders.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <memory>

#include "platform/files.h"
#include "platform/os_error.h"
#include "platform/posix/fd_io.h"
#include "platform/posix/path_native.h"

namespace orv::fs {

using posix::failed;
using posix::native;

char separator() { return '/'; }

bool fileExists(const std::string& path) {
  struct stat st;
  return stat(native(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool dirExists(const std::string& path) {
  struct stat st;
  return stat(native(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool pathExists(const std::string& path) {
  struct stat st;
  return lstat(native(path).c_str(), &st) == 0;
}

bool createDirectories(const std::string& path) {
  std::string p = native(path);
  while (p.size() > 1 && p.back() == '/') p.pop_back();
  if (p.empty()) return false;
  if (dirExists(p)) return true;
  for (size_t pos = 1; pos <= p.size(); ++pos) {
    if (pos != p.size() && p[pos] != '/') continue;
    std::string part = p.substr(0, pos);
    if (mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) return failed("mkdir", part);
  }
  return dirExists(p);
}

int64_t fileSize(const std::string& path) {
  struct stat st;
  if (stat(native(path).c_str(), &st) != 0) return -1;
  return static_cast<int64_t>(st.st_size);
}

bool removeFile(const std::string& path) {
  return unlink(native(path).c_str()) == 0 || failed("unlink", path);
}

bool renamePath(const std::string& from, const std::string& to) {
  if (pathExists(to)) return false;
  return rename(native(from).c_str(), native(to).c_str()) == 0 || failed("rename", from);
}

bool replaceFile(const std::string& from, const std::string& to) {
  return rename(native(from).c_str(), native(to).c_str()) == 0 || failed("rename", from);
}

std::optional<std::string> readFile(const std::string& path) {
  int fd = open(native(path).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  std::string out;
  struct stat st;
  // Sized once from the start: a large file is not copied again as the text grows.
  if (fstat(fd, &st) == 0 && st.st_size > 0) out.reserve(static_cast<size_t>(st.st_size));
  char buf[65536];
  for (;;) {
    ssize_t n = read(fd, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      close(fd);
      return std::nullopt;
    }
    if (n == 0) break;
    out.append(buf, static_cast<size_t>(n));
  }
  close(fd);
  return out;
}

bool readBlocks(const std::string& path, const std::function<bool(std::string_view)>& sink) {
  int fd = open(native(path).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  static constexpr size_t kBlock = 65536;
  std::unique_ptr<char[]> buf(new char[kBlock]);
  bool ok = true;
  for (;;) {
    ssize_t n = read(fd, buf.get(), kBlock);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      ok = n == 0;
      break;
    }
    if (!sink(std::string_view(buf.get(), static_cast<size_t>(n)))) break;
  }
  close(fd);
  return ok;
}

using posix::writeAll;

bool writeFile(const std::string& path, const std::string& bytes) {
  int fd = open(native(path).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) return failed("open", path);
  bool ok = writeAll(fd, bytes) || failed("write", path);
  return (close(fd) == 0 || failed("close", path)) && ok;
}

bool appendToFile(const std::string& path, const std::string& bytes) {
  // O_APPEND: every write lands at the end, without a seek of our own.
  int fd = open(native(path).c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) return failed("open", path);
  bool ok = writeAll(fd, bytes) || failed("write", path);
  return (close(fd) == 0 || failed("close", path)) && ok;
}

bool touchFile(const std::string& path) {
  int fd = open(native(path).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) return failed("open", path);
  close(fd);
  return true;
}

}  // namespace orv::fs
