// POSIX file locks (flock on a side file) and durable whole-file replacement.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/filelock.h"
#include "platform/files.h"
#include "platform/os_error.h"
#include "platform/posix/fd_io.h"
#include "platform/posix/path_native.h"

namespace orv::fs {

using posix::failed;
using posix::native;

FileLock::FileLock(const std::string& path) {
  std::string lockPath = native(path + ".lock");
  int fd = open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) {
    failed("open", lockPath);
    return;
  }
  for (int waited = 0; waited < 60000; waited += 5) {
    if (flock(fd, LOCK_EX | LOCK_NB) == 0) {
      handle_ = fd;
      return;
    }
    if (errno != EWOULDBLOCK && errno != EINTR) break;
    usleep(5000);
  }
  failed("flock", lockPath);  // another holder for a minute, or a lock the system refuses
  close(fd);
}

FileLock::~FileLock() {
  if (handle_ == kNone) return;
  int fd = static_cast<int>(handle_);
  flock(fd, LOCK_UN);
  close(fd);
}

using posix::writeAll;

bool replaceFileContent(const std::string& path, const std::string& bytes) {
  std::string target = native(path), temp = target + ".tmp";
  int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) return failed("open", temp);
  bool ok = (writeAll(fd, bytes) || failed("write", temp)) && (fsync(fd) == 0 || failed("fsync", temp));
  ok = (close(fd) == 0 || failed("close", temp)) && ok;
  if (!ok || rename(temp.c_str(), target.c_str()) != 0) {
    if (ok) failed("rename", temp);
    unlink(temp.c_str());
    return false;
  }
  std::string folder = folderPart(target);
  int dir = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    fsync(dir);  // makes the rename itself durable
    close(dir);
  }
  return true;
}

}  // namespace orv::fs
