#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "platform/os_error.h"
#include "platform/outfile.h"

namespace orv::fs {

struct OutputFile::Impl {
  int fd = -1;
};

OutputFile::OutputFile(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

OutputFile::~OutputFile() {
  if (impl_->fd >= 0) ::close(impl_->fd);
}

bool OutputFile::write(const char* data, size_t n) {
  while (n > 0) {
    ssize_t done = ::write(impl_->fd, data, n);
    if (done < 0 && errno == EINTR) continue;
    if (done <= 0) return false;
    data += done;
    n -= static_cast<size_t>(done);
  }
  return true;
}

bool OutputFile::close() {
  bool ok = fsync(impl_->fd) == 0;
  ok = ::close(impl_->fd) == 0 && ok;
  impl_->fd = -1;
  return ok;
}

std::unique_ptr<OutputFile> createOutputFile(const std::string& path) {
  int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) {
    sys::recordLastOsError("open", path);
    return nullptr;
  }
  auto impl = std::make_unique<OutputFile::Impl>();
  impl->fd = fd;
  return std::make_unique<OutputFile>(std::move(impl));
}

}  // namespace orv::fs
