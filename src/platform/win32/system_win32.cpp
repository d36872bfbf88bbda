// Win32 process-wide services.
#include <windows.h>
#include <shlobj.h>
#include <shellapi.h>
#include <mmsystem.h>

#include <process.h>

#include <atomic>

#include "platform/system.h"
#include "platform/win32/wide.h"

namespace orv::sys {

using win::narrow;
using win::widen;

std::vector<std::pair<std::string, std::string>> environment() {
  std::vector<std::pair<std::string, std::string>> out;
  wchar_t* block = GetEnvironmentStringsW();
  if (!block) return out;
  for (wchar_t* e = block; *e; e += wcslen(e) + 1) {
    std::string entry = narrow(e, wcslen(e));
    size_t eq = entry.find('=');
    // Entries such as "=C:=C:\dir" are the shell's per-drive folders, not variables.
    if (eq == std::string::npos || eq == 0) continue;
    out.emplace_back(entry.substr(0, eq), entry.substr(eq + 1));
  }
  FreeEnvironmentStringsW(block);
  return out;
}

std::string getEnv(const std::string& name) {
  std::wstring wname = widen(name);
  DWORD n = GetEnvironmentVariableW(wname.c_str(), nullptr, 0);
  if (n == 0) return "";
  std::wstring buf(n, L'\0');
  n = GetEnvironmentVariableW(wname.c_str(), buf.data(), n);
  return narrow(buf.data(), n);
}

static std::atomic<uint64_t> environmentChangeCount{0};

bool setEnv(const std::string& name, const std::string& value) {
  ++environmentChangeCount;
  return SetEnvironmentVariableW(widen(name).c_str(), widen(value).c_str()) != 0;
}

uint64_t environmentChanges() { return environmentChangeCount.load(); }

std::string currentDir() {
  DWORD n = GetCurrentDirectoryW(0, nullptr);
  std::wstring buf(n, L'\0');
  n = GetCurrentDirectoryW(n, buf.data());
  return narrow(buf.data(), n);
}

bool setCurrentDir(const std::string& path) {
  return !path.empty() && SetCurrentDirectoryW(widen(path).c_str()) != 0;
}

std::string selfPath() {
  std::wstring buf(32768, L'\0');
  DWORD n = GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
  return narrow(buf.data(), n);
}

std::string profileDir() {
  wchar_t buf[MAX_PATH];
  if (SHGetFolderPathW(nullptr, CSIDL_PROFILE, nullptr, 0, buf) != S_OK) return "";
  std::string dir = narrow(buf, wcslen(buf));
  while (!dir.empty() && dir.back() == '\\') dir.pop_back();
  return dir;
}

LocalTime localNow() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  return {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond};
}

void sleepMs(int64_t ms) {
  if (ms <= 0) return;
  // 1 ms timer resolution for the whole process, asked once.
  static const bool fine = timeBeginPeriod(1) == TIMERR_NOERROR;
  (void)fine;
  while (ms > 0) {
    DWORD chunk = static_cast<DWORD>(ms > 0x7FFFFFFF ? 0x7FFFFFFF : ms);
    Sleep(chunk);
    ms -= chunk;
  }
}

int64_t monotonicMs() { return static_cast<int64_t>(GetTickCount64()); }

namespace {
unsigned __stdcall threadEntry(void* arg) {
  (*static_cast<const std::function<void()>*>(arg))();
  return 0;
}
}  // namespace

bool runOnThread(const std::function<void()>& fn, size_t stackBytes) {
  uintptr_t h =
      _beginthreadex(nullptr, static_cast<unsigned>(stackBytes), threadEntry,
                     const_cast<std::function<void()>*>(&fn), STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
  if (h == 0) return false;
  WaitForSingleObject(reinterpret_cast<HANDLE>(h), INFINITE);
  CloseHandle(reinterpret_cast<HANDLE>(h));
  return true;
}

std::vector<std::string> commandLineArguments(int, char**) {
  std::vector<std::string> args;
  int n = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &n);
  if (!argv) return args;
  for (int i = 1; i < n; ++i) args.push_back(narrow(argv[i], wcslen(argv[i])));
  LocalFree(argv);
  return args;
}

void writeToStandardError(const std::string& text) {
  HANDLE h = GetStdHandle(STD_ERROR_HANDLE);
  if (h == nullptr || h == INVALID_HANDLE_VALUE) return;
  DWORD mode = 0, n = 0;
  if (GetConsoleMode(h, &mode)) {
    std::wstring w = win::widen(text);
    WriteConsoleW(h, w.data(), static_cast<DWORD>(w.size()), &n, nullptr);
  } else {
    WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &n, nullptr);
  }
}

void exitProcess(int64_t code) {
  runExitHooks();
  ExitProcess(static_cast<UINT>(code));
}

}  // namespace orv::sys
