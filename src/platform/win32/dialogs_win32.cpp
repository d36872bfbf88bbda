// Win32 start-up dialogs: MessageBoxW and GetOpenFileNameW.
#include <windows.h>
#include <commdlg.h>

#include "platform/dialogs.h"
#include "platform/win32/wide.h"

namespace orv::dialogs {

using win::widen;

void showError(const std::string& title, const std::string& text) {
  MessageBoxW(nullptr, widen(text).c_str(), widen(title).c_str(), MB_OK | MB_ICONERROR);
}

std::string openFile(const std::string& title, const std::string& filter) {
  // The filter list is "label|pattern|..."; the dialog wants NUL separators and a double NUL end.
  std::wstring wfilter = widen(filter);
  for (wchar_t& c : wfilter)
    if (c == L'|') c = L'\0';
  wfilter.push_back(L'\0');
  wfilter.push_back(L'\0');
  std::wstring wtitle = widen(title);
  wchar_t file[32768] = {0};
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.lpstrFilter = wfilter.c_str();
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = file;
  ofn.nMaxFile = static_cast<DWORD>(std::size(file));
  ofn.lpstrTitle = wtitle.c_str();
  ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_EXPLORER;
  if (!GetOpenFileNameW(&ofn)) return "";
  return win::narrow(file, wcslen(file));
}

}  // namespace orv::dialogs
