// The test helper's Windows steps.
#include <windows.h>
#include <shellapi.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "helper/orvhelper_platform.h"

void spawnSleeper(const char*, const char* ms) {
  wchar_t exe[MAX_PATH];
  GetModuleFileNameW(nullptr, exe, MAX_PATH);
  std::wstring cmd = L"\"" + std::wstring(exe) + L"\" sleep " + std::filesystem::path(ms).wstring();
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  si.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
  si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION pi{};
  if (CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) {
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  }
}

void putOnClipboard(int index) {
  int count = 0;
  wchar_t** args = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!args || index >= count) return;
  size_t bytes = (wcslen(args[index]) + 1) * sizeof(wchar_t);
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (block && OpenClipboard(nullptr)) {
    memcpy(GlobalLock(block), args[index], bytes);
    GlobalUnlock(block);
    EmptyClipboard();
    if (SetClipboardData(CF_UNICODETEXT, block)) block = nullptr;
    CloseClipboard();
  }
  if (block) GlobalFree(block);
  LocalFree(args);
}
