// Windows file locks (LockFileEx on a side file) and durable whole-file replacement.
#include <windows.h>

#include "platform/filelock.h"
#include "platform/os_error.h"
#include "platform/win32/wide.h"

namespace orv::fs {

// Records why a step failed (the thread's last error) and answers false.
static bool failed(const char* call, const std::string& path) {
  sys::recordLastOsError(call, path);
  return false;
}

FileLock::FileLock(const std::string& path) {
  std::string lockPath = path + ".lock";
  HANDLE h = CreateFileW(win::widen(lockPath).c_str(), GENERIC_READ | GENERIC_WRITE,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    failed("CreateFileW", lockPath);
    return;
  }
  for (int waited = 0; waited < 60000; waited += 5) {
    OVERLAPPED at{};
    if (LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at)) {
      handle_ = reinterpret_cast<intptr_t>(h);
      return;
    }
    Sleep(5);
  }
  failed("LockFileEx", lockPath);  // another holder for a minute
  CloseHandle(h);
}

FileLock::~FileLock() {
  if (handle_ == kNone) return;
  HANDLE h = reinterpret_cast<HANDLE>(handle_);
  OVERLAPPED at{};
  UnlockFileEx(h, 0, 1, 0, &at);
  CloseHandle(h);
}

bool replaceFileContent(const std::string& path, const std::string& bytes) {
  std::wstring target = win::widen(path), temp = win::widen(path + ".tmp");
  HANDLE h =
      CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return failed("CreateFileW", path + ".tmp");
  bool ok = true;
  for (size_t done = 0; ok && done < bytes.size();) {
    DWORD n = 0;
    DWORD chunk = static_cast<DWORD>(bytes.size() - done > (1u << 30) ? (1u << 30) : bytes.size() - done);
    ok = (WriteFile(h, bytes.data() + done, chunk, &n, nullptr) && n > 0) ||
         failed("WriteFile", path + ".tmp");
    done += n;
  }
  ok = ok && (FlushFileBuffers(h) || failed("FlushFileBuffers", path + ".tmp"));
  ok = CloseHandle(h) && ok;
  // A reader holding the old file open may delay the replacement a little.
  bool moved = false;
  for (int tries = 0; ok && !moved && tries < 200; ++tries) {
    moved =
        MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    if (!moved) Sleep(10);
  }
  if (!moved) {
    if (ok) failed("MoveFileExW", path);
    DeleteFileW(temp.c_str());
  }
  return moved;
}

}  // namespace orv::fs
