// Win32 files and folders (wide APIs).
#include <windows.h>
#include <memory>

#include "platform/files.h"
#include "platform/os_error.h"
#include "platform/win32/wide.h"

namespace orv::fs {

using win::filePath;
using win::widen;

char separator() { return '\\'; }

// Records the failure of call on path (GetLastError) and answers false.
// A path that could not be widened keeps that reason.
static bool failed(const char* call, const std::string& path) {
  const sys::OsError& last = sys::lastOsError();
  if (!(last.call == "MultiByteToWideChar" && last.path == path)) sys::recordLastOsError(call, path);
  return false;
}

static DWORD attributes(const std::string& path) { return GetFileAttributesW(filePath(path).c_str()); }

bool fileExists(const std::string& path) {
  DWORD a = attributes(path);
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool dirExists(const std::string& path) {
  DWORD a = attributes(path);
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool pathExists(const std::string& path) { return attributes(path) != INVALID_FILE_ATTRIBUTES; }

bool createDirectories(const std::string& path) {
  std::string p = path;
  while (p.size() > 1 && (p.back() == '\\' || p.back() == '/')) p.pop_back();
  if (p.empty()) return false;
  if (dirExists(p)) return true;
  // Skip the root of a drive ("c:") or of a UNC share ("\\server\share").
  size_t start = 0;
  if (p.size() >= 2 && p[1] == ':') start = 2;
  if (p.rfind("\\\\", 0) == 0) {
    size_t server = p.find_first_of("\\/", 2);
    size_t share = server == std::string::npos ? server : p.find_first_of("\\/", server + 1);
    start = share == std::string::npos ? p.size() : share;
  }
  for (size_t pos = start + 1; pos <= p.size(); ++pos) {
    if (pos != p.size() && p[pos] != '\\' && p[pos] != '/') continue;
    std::string part = p.substr(0, pos);
    if (!CreateDirectoryW(filePath(part).c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS &&
        !dirExists(part))
      return failed("CreateDirectoryW", part);
  }
  return dirExists(p);
}

int64_t fileSize(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(filePath(path).c_str(), GetFileExInfoStandard, &data)) return -1;
  return (static_cast<int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool removeFile(const std::string& path) {
  return DeleteFileW(filePath(path).c_str()) != 0 || failed("DeleteFileW", path);
}

bool renamePath(const std::string& from, const std::string& to) {
  return MoveFileExW(filePath(from).c_str(), filePath(to).c_str(), 0) != 0 || failed("MoveFileExW", from);
}

bool replaceFile(const std::string& from, const std::string& to) {
  return MoveFileExW(filePath(from).c_str(), filePath(to).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

static HANDLE openFile(const std::string& path, DWORD access, DWORD disposition) {
  return CreateFileW(filePath(path).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, disposition,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

std::optional<std::string> readFile(const std::string& path) {
  HANDLE h = openFile(path, GENERIC_READ, OPEN_EXISTING);
  if (h == INVALID_HANDLE_VALUE) return std::nullopt;
  std::string out;
  LARGE_INTEGER size{};
  // Sized once from the start: a large file is not copied again as the text grows.
  if (GetFileSizeEx(h, &size) && size.QuadPart > 0) out.reserve(static_cast<size_t>(size.QuadPart));
  char buf[65536];
  DWORD n = 0;
  bool ok = true;
  while ((ok = ReadFile(h, buf, sizeof buf, &n, nullptr)) && n > 0) out.append(buf, n);
  CloseHandle(h);
  if (!ok) return std::nullopt;
  return out;
}

bool readBlocks(const std::string& path, const std::function<bool(std::string_view)>& sink) {
  HANDLE h = openFile(path, GENERIC_READ, OPEN_EXISTING);
  if (h == INVALID_HANDLE_VALUE) return false;
  static constexpr DWORD kBlock = 65536;
  std::unique_ptr<char[]> buf(new char[kBlock]);
  DWORD n = 0;
  bool ok = true;
  while ((ok = ReadFile(h, buf.get(), kBlock, &n, nullptr)) && n > 0)
    if (!sink(std::string_view(buf.get(), n))) break;
  CloseHandle(h);
  return ok;
}

static bool writeAll(HANDLE h, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD n = 0;
    DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1 << 30));
    if (!WriteFile(h, bytes.data() + done, chunk, &n, nullptr) || n == 0) return false;
    done += n;
  }
  return true;
}

bool writeFile(const std::string& path, const std::string& bytes) {
  HANDLE h = openFile(path, GENERIC_WRITE, CREATE_ALWAYS);
  if (h == INVALID_HANDLE_VALUE) return failed("CreateFileW", path);
  bool ok = writeAll(h, bytes) || failed("WriteFile", path);
  return CloseHandle(h) && ok;
}

bool appendToFile(const std::string& path, const std::string& bytes) {
  HANDLE h = openFile(path, GENERIC_READ | GENERIC_WRITE, OPEN_ALWAYS);
  if (h == INVALID_HANDLE_VALUE) return failed("CreateFileW", path);
  LARGE_INTEGER zero{};
  bool ok = (SetFilePointerEx(h, zero, nullptr, FILE_END) && writeAll(h, bytes)) || failed("WriteFile", path);
  return CloseHandle(h) && ok;
}

bool touchFile(const std::string& path) {
  HANDLE h = openFile(path, GENERIC_READ | GENERIC_WRITE, OPEN_ALWAYS);
  if (h == INVALID_HANDLE_VALUE) return failed("CreateFileW", path);
  CloseHandle(h);
  return true;
}

}  // namespace orv::fs
