// Safe rewriting of small shared files: an exclusive lock held by one process
// at a time, and whole-file replacement through a temporary file.
#pragma once
#include <cstdint>
#include <string>

namespace orv::fs {

// An exclusive lock on the lock file path + ".lock", held for the object's
// life. Waits up to about a minute for other holders; the platform releases
// the lock when a holder dies.
class FileLock {
 public:
  explicit FileLock(const std::string& path);
  ~FileLock();
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;
  // True when the lock is held.
  bool held() const { return handle_ != kNone; }

 private:
  static constexpr intptr_t kNone = -1;
  intptr_t handle_ = kNone;
};

// Writes bytes to path + ".tmp" in the same folder, flushes them to disk and
// renames the temporary file over path, so readers see the old or the new
// content and never a part of it. True on success (path untouched otherwise).
bool replaceFileContent(const std::string& path, const std::string& bytes);

}  // namespace orv::fs
