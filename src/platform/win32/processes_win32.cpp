// Running processes from a Toolhelp snapshot: executable names, and the full
// path of each main module.
#include <windows.h>
#include <tlhelp32.h>

#include "platform/processes.h"
#include "platform/win32/wide.h"

namespace orv {

namespace {

std::wstring modulePath(DWORD pid) {
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, pid);
  if (snap == INVALID_HANDLE_VALUE) return L"";
  MODULEENTRY32W module{};
  module.dwSize = sizeof module;
  std::wstring path = Module32FirstW(snap, &module) ? module.szExePath : L"";
  CloseHandle(snap);
  return path;
}

}  // namespace

bool processExists(const std::string& nameOrPath) {
  std::wstring wanted = win::widen(nameOrPath);
  bool byPath = nameOrPath.find('\\') != std::string::npos;
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snap == INVALID_HANDLE_VALUE) return false;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  bool found = false;
  for (BOOL ok = Process32FirstW(snap, &entry); ok && !found; ok = Process32NextW(snap, &entry)) {
    std::wstring candidate = byPath ? modulePath(entry.th32ProcessID) : std::wstring(entry.szExeFile);
    found = !candidate.empty() && lstrcmpiW(candidate.c_str(), wanted.c_str()) == 0;
  }
  CloseHandle(snap);
  return found;
}

}  // namespace orv
