// Running processes from a Toolhelp snapshot: the executable name of each
// process, and the full path of its main module for path lookups (module
// snapshot, or QueryFullProcessImageNameW where that snapshot is refused).
#include <windows.h>
#include <tlhelp32.h>

#include "platform/processes.h"
#include "platform/win32/wide.h"

namespace orv {

namespace {

bool sameNoCase(const std::wstring& a, const std::wstring& b) {
  return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()),
                              TRUE) == CSTR_EQUAL;
}

std::wstring imageName(DWORD pid) {
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
  if (!process) return {};
  std::wstring path(32768, L'\0');
  DWORD size = static_cast<DWORD>(path.size());
  std::wstring out;
  if (QueryFullProcessImageNameW(process, 0, path.data(), &size)) out.assign(path.data(), size);
  CloseHandle(process);
  return out;
}

std::wstring mainModulePath(DWORD pid) {
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, pid);
  if (snap == INVALID_HANDLE_VALUE) return imageName(pid);
  MODULEENTRY32W module{};
  module.dwSize = sizeof module;
  std::wstring out = Module32FirstW(snap, &module) ? std::wstring(module.szExePath) : std::wstring();
  CloseHandle(snap);
  return out.empty() ? imageName(pid) : out;
}

}  // namespace

bool processExists(const std::string& nameOrPath) {
  if (nameOrPath.empty()) return false;
  std::wstring wanted = win::widen(nameOrPath);
  bool byPath = nameOrPath.find('\\') != std::string::npos;
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snap == INVALID_HANDLE_VALUE) return false;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  bool found = false;
  for (BOOL more = Process32FirstW(snap, &entry); more && !found; more = Process32NextW(snap, &entry)) {
    // The first record is the idle process, which has no module of its own.
    if (byPath)
      found = entry.th32ProcessID != 0 && sameNoCase(mainModulePath(entry.th32ProcessID), wanted);
    else
      found = sameNoCase(entry.szExeFile, wanted);
  }
  CloseHandle(snap);
  return found;
}

}  // namespace orv
