// Win32 tree operations for the file directives (wide APIs).
#include <windows.h>
#include <shlwapi.h>

#include "platform/files.h"
#include "platform/os_error.h"
#include "platform/win32/wide.h"

namespace orv::fs {

using win::filePath;
using win::narrow;
using win::widen;

std::optional<std::vector<DirEntry>> findEntries(const std::string& folder, const std::string& pattern) {
  std::string base = folder.empty() ? "." : folder;
  if (base.back() != '\\' && base.back() != '/') base += '\\';
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW(filePath(base + (pattern.empty() ? "*" : pattern)).c_str(), &fd);
  std::vector<DirEntry> out;
  if (h == INVALID_HANDLE_VALUE) {
    DWORD err = GetLastError();
    if (err == ERROR_FILE_NOT_FOUND || err == ERROR_NO_MORE_FILES) return out;
    return std::nullopt;
  }
  do {
    std::string name = narrow(fd.cFileName, wcslen(fd.cFileName));
    if (name == "." || name == "..") continue;
    DirEntry e;
    e.name = name;
    e.isDir = (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    e.isLink = (fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    e.readOnly = (fd.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
    out.push_back(e);
  } while (FindNextFileW(h, &fd));
  FindClose(h);
  return out;
}

bool matchesFileFilter(const std::string& name, const std::string& filter) {
  if (filter.empty()) return true;
  return PathMatchSpecW(widen(name).c_str(), widen(filter).c_str()) != FALSE;
}

bool isLink(const std::string& path) {
  DWORD a = GetFileAttributesW(filePath(path).c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_REPARSE_POINT);
}

// Records the failure of call on path (GetLastError) and answers false; a path
// that could not be widened keeps that reason.
static bool failed(const char* call, const std::string& path) {
  const sys::OsError& last = sys::lastOsError();
  if (!(last.call == "MultiByteToWideChar" && last.path == path)) sys::recordLastOsError(call, path);
  return false;
}

bool makeDirectory(const std::string& path) {
  return CreateDirectoryW(filePath(path).c_str(), nullptr) != 0 || failed("CreateDirectoryW", path);
}

bool removeDirectory(const std::string& path) {
  return RemoveDirectoryW(filePath(path).c_str()) != 0 || failed("RemoveDirectoryW", path);
}

bool removeLink(const std::string& path) {
  std::wstring w = filePath(path);
  DWORD a = GetFileAttributesW(w.c_str());
  if (a == INVALID_FILE_ATTRIBUTES) return false;
  // A link to a folder is removed as a folder; the target is never entered.
  return (a & FILE_ATTRIBUTE_DIRECTORY) ? RemoveDirectoryW(w.c_str()) != 0 : DeleteFileW(w.c_str()) != 0;
}

bool clearReadOnly(const std::string& path) {
  std::wstring w = filePath(path);
  DWORD a = GetFileAttributesW(w.c_str());
  if (a == INVALID_FILE_ATTRIBUTES) return false;
  a &= ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY);
  return SetFileAttributesW(w.c_str(), a ? a : FILE_ATTRIBUTE_NORMAL) != 0;
}

bool copyFile(const std::string& from, const std::string& to) {
  return CopyFileW(filePath(from).c_str(), filePath(to).c_str(), FALSE) != 0 || failed("CopyFileW", from);
}

RewriteOutcome writeAtStart(const std::string& path, const std::string& bytes) {
  HANDLE h = CreateFileW(filePath(path).c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                         OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    failed("CreateFileW", path);
    return RewriteOutcome::OpenFailed;
  }
  bool ok = true;
  for (size_t done = 0; ok && done < bytes.size();) {
    DWORD n = 0;
    DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1 << 30));
    ok = WriteFile(h, bytes.data() + done, chunk, &n, nullptr) && n > 0;
    done += n;
  }
  ok = CloseHandle(h) && ok;
  return ok ? RewriteOutcome::Written : RewriteOutcome::WriteFailed;
}

bool setVolumeLabel(const std::string& root, const std::string& label) {
  return SetVolumeLabelW(filePath(root).c_str(), widen(label).c_str()) != 0;
}

}  // namespace orv::fs
