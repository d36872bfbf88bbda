#include <windows.h>

#include "platform/os_error.h"
#include "platform/outfile.h"
#include "platform/win32/wide.h"

namespace orv::fs {

struct OutputFile::Impl {
  HANDLE handle = INVALID_HANDLE_VALUE;
};

OutputFile::OutputFile(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

OutputFile::~OutputFile() {
  if (impl_->handle != INVALID_HANDLE_VALUE) CloseHandle(impl_->handle);
}

bool OutputFile::write(const char* data, size_t n) {
  while (n > 0) {
    DWORD chunk = n > 0x10000000 ? 0x10000000 : static_cast<DWORD>(n), done = 0;
    if (!WriteFile(impl_->handle, data, chunk, &done, nullptr) || done == 0) return false;
    data += done;
    n -= done;
  }
  return true;
}

bool OutputFile::close() {
  bool ok = FlushFileBuffers(impl_->handle) != 0;
  ok = CloseHandle(impl_->handle) != 0 && ok;
  impl_->handle = INVALID_HANDLE_VALUE;
  return ok;
}

std::unique_ptr<OutputFile> createOutputFile(const std::string& path) {
  HANDLE h = CreateFileW(win::widen(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    sys::recordLastOsError("CreateFileW", path);
    return nullptr;
  }
  auto impl = std::make_unique<OutputFile::Impl>();
  impl->handle = h;
  return std::make_unique<OutputFile>(std::move(impl));
}

}  // namespace orv::fs
