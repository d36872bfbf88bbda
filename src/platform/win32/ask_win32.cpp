// Win32 dialogs of the directives: MessageBoxW, the shell's folder browser
// and GetOpenFileNameW (the text-entry dialog is in inputbox_win32.cpp).
#include <windows.h>
#include <commdlg.h>
#include <objbase.h>
#include <shlobj.h>

#include <vector>

#include "platform/ask.h"
#include "platform/win32/wide.h"

namespace orv::ask {

using win::narrow;
using win::widen;

namespace {

// Session 0 holds services and tasks run without a logged-on user.
bool inSessionZero() {
  DWORD session = 0;
  return ProcessIdToSessionId(GetCurrentProcessId(), &session) && session == 0;
}

// A window station that is not visible (a service's) shows nothing to anyone.
bool windowStationVisible() {
  HWINSTA station = GetProcessWindowStation();
  if (!station) return false;
  USEROBJECTFLAGS flags{};
  DWORD needed = 0;
  if (!GetUserObjectInformationW(station, UOI_FLAGS, &flags, sizeof flags, &needed)) return false;
  return (flags.dwFlags & WSF_VISIBLE) != 0;
}

// Whether the desktop that receives the user's input can be reached.
bool inputDesktopReachable() {
  HDESK desk = OpenInputDesktop(0, FALSE, DESKTOP_READOBJECTS);
  if (!desk) return false;
  CloseDesktop(desk);
  return true;
}

// Keeps the process's working directory across a dialog that may move it.
class KeepWorkingDirectory {
 public:
  KeepWorkingDirectory() {
    DWORD size = GetCurrentDirectoryW(0, nullptr);
    if (size == 0) return;
    saved_.assign(size, L'\0');
    DWORD len = GetCurrentDirectoryW(size, saved_.data());
    saved_.resize(len < size ? len : 0);
  }
  ~KeepWorkingDirectory() {
    if (!saved_.empty()) SetCurrentDirectoryW(saved_.c_str());
  }
  KeepWorkingDirectory(const KeepWorkingDirectory&) = delete;
  KeepWorkingDirectory& operator=(const KeepWorkingDirectory&) = delete;

 private:
  std::wstring saved_;
};

struct FolderRequest {
  std::wstring title, path;
};

// Gives the browser its caption and preselects the default folder.
int CALLBACK browseCallback(HWND hwnd, UINT msg, LPARAM, LPARAM data) {
  if (msg != BFFM_INITIALIZED) return 0;
  const auto* request = reinterpret_cast<const FolderRequest*>(data);
  if (!request->title.empty()) SetWindowTextW(hwnd, request->title.c_str());
  if (!request->path.empty())
    SendMessageW(hwnd, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(request->path.c_str()));
  return 0;
}

// The list "label|pattern|..." with NUL separators and a double NUL end.
std::wstring filterList(const std::string& filter) {
  std::wstring list = widen(filter);
  for (wchar_t& c : list)
    if (c == L'|') c = L'\0';
  list.push_back(L'\0');
  list.push_back(L'\0');
  return list;
}

}  // namespace

bool interactiveDesktop() { return !inSessionZero() && windowStationVisible() && inputDesktopReachable(); }

int messageBox(const std::string& title, const std::string& text, unsigned style) {
  return MessageBoxW(nullptr, widen(text).c_str(), widen(title).c_str(), style);
}

std::string browseFolder(const std::string& title, const std::string& defaultPath) {
  KeepWorkingDirectory keep;
  HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  FolderRequest request{widen(title), widen(defaultPath)};
  BROWSEINFOW info{};
  info.lpszTitle = request.title.c_str();
  info.ulFlags = BIF_RETURNONLYFSDIRS;
  info.lpfn = browseCallback;
  info.lParam = reinterpret_cast<LPARAM>(&request);
  std::string chosen;
  if (LPITEMIDLIST item = SHBrowseForFolderW(&info)) {
    std::vector<wchar_t> path(32768, L'\0');
    if (SHGetPathFromIDListEx(item, path.data(), static_cast<DWORD>(path.size()), GPFIDL_DEFAULT) ||
        SHGetPathFromIDListW(item, path.data()))
      chosen = narrow(path.data(), wcslen(path.data()));
    CoTaskMemFree(item);
  }
  if (SUCCEEDED(init)) CoUninitialize();
  return chosen;
}

std::string chooseFile(const std::string& title, const std::string& filter, const std::string& defaultFile) {
  KeepWorkingDirectory keep;
  std::wstring list = filterList(filter);
  std::wstring caption = widen(title);
  std::vector<wchar_t> file(32768, L'\0');
  std::wstring proposed = widen(defaultFile);
  if (proposed.size() < file.size()) proposed.copy(file.data(), proposed.size());
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.lpstrFilter = list.c_str();
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<DWORD>(file.size());
  ofn.lpstrTitle = caption.empty() ? nullptr : caption.c_str();
  ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (!GetOpenFileNameW(&ofn)) return "";
  return narrow(file.data(), wcslen(file.data()));
}

}  // namespace orv::ask
