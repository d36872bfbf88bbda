// Test helper (Windows only): finds the progress window of another process by
// its caption and prints what the tests compare, one fact per line:
//   screen <width> <height>
//   window <client width> <client height> <left> <top> <width> <height> visible=<0|1> topmost=<0|1>
//   client-origin <x> <y>                 (screen position of the client area)
//   control <NAME> <class> <x> <y> <w> <h> visible=<0|1> checked=<0|1> text=<text>
//   row <index> icon=<image index> <column 0>|<column 1>|<column 2>
//   selected <index>                      (the list's selected row, when one is)
//   tooltip <NAME> balloon=<0|1> width=<max tip width> text=<text>
// Control rectangles are relative to the parent's client area. The list's
// rows and the tooltips' texts are read through memory allocated in the
// window's process.
// Usage: orvwinspy CAPTION [WAIT_SECONDS]; exit 2 when no such window exists.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>

#include "ui/win32/window_ids.h"

namespace {

std::string utf8(const std::wstring& w) {
  if (w.empty()) return {};
  int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
  std::string s(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr, nullptr);
  return s;
}

std::wstring wide(const char* s) {
  int n = MultiByteToWideChar(CP_UTF8, 0, s, -1, nullptr, 0);
  std::wstring w(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, s, -1, w.data(), n);
  w.resize(static_cast<size_t>(n > 0 ? n - 1 : 0));
  return w;
}

std::wstring windowText(HWND window) {
  wchar_t text[1024] = {};
  DWORD_PTR length = 0;
  SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, &length);
  return std::wstring(text, length);
}

void printControl(HWND control) {
  int id = GetDlgCtrlID(control);
  const char* name = orv::ui::ids::controlName(id);
  if (!*name) return;
  wchar_t cls[64] = {};
  GetClassNameW(control, cls, 64);
  RECT r;
  GetWindowRect(control, &r);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
  DWORD_PTR checked = 0;
  if (id == orv::ui::ids::kDetails)
    SendMessageTimeoutW(control, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 2000, &checked);
  std::printf("control %s %s %ld %ld %ld %ld visible=%d checked=%d text=%s\n", name, utf8(cls).c_str(), r.left,
              r.top, r.right - r.left, r.bottom - r.top, IsWindowVisible(control) ? 1 : 0,
              checked == BST_CHECKED ? 1 : 0, utf8(windowText(control)).c_str());
}

BOOL CALLBACK eachControl(HWND control, LPARAM) {
  printControl(control);
  return TRUE;
}

// Reads row's cells and image index through a block allocated in the list's process.
void printRow(HWND list, HANDLE process, char* remote, int row) {
  const SIZE_T textOffset = 256;
  std::string cells;
  int image = 0;
  for (int column = 0; column < 3; ++column) {
    LVITEMW item{};
    item.mask = LVIF_TEXT | (column == 0 ? LVIF_IMAGE : 0);
    item.iItem = row;
    item.iSubItem = column;
    item.pszText = reinterpret_cast<wchar_t*>(remote + textOffset);
    item.cchTextMax = 1024;
    WriteProcessMemory(process, remote, &item, sizeof item, nullptr);
    DWORD_PTR ok = 0;
    SendMessageTimeoutW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(remote), SMTO_ABORTIFHUNG, 2000, &ok);
    wchar_t text[1024] = {};
    ReadProcessMemory(process, remote, &item, sizeof item, nullptr);
    ReadProcessMemory(process, remote + textOffset, text, sizeof text - sizeof(wchar_t), nullptr);
    if (column == 0) image = item.iImage;
    cells += (column ? "|" : "") + utf8(text);
  }
  std::printf("row %d icon=%d %s\n", row, image, cells.c_str());
}

// A block of memory in the process that owns a window, for messages whose
// answers go through pointers.
struct RemoteBlock {
  HANDLE process = nullptr;
  char* base = nullptr;
  explicit RemoteBlock(HWND window) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (process)
      base = static_cast<char*>(VirtualAllocEx(process, nullptr, 8192, MEM_COMMIT, PAGE_READWRITE));
  }
  ~RemoteBlock() {
    if (base) VirtualFreeEx(process, base, 0, MEM_RELEASE);
    if (process) CloseHandle(process);
  }
};

DWORD_PTR sendTimed(HWND window, UINT message, WPARAM wp, LPARAM lp) {
  DWORD_PTR answer = 0;
  SendMessageTimeoutW(window, message, wp, lp, SMTO_ABORTIFHUNG, 2000, &answer);
  return answer;
}

void printRows(HWND list) {
  RemoteBlock remote(list);
  if (!remote.base) return;
  int count = static_cast<int>(sendTimed(list, LVM_GETITEMCOUNT, 0, 0));
  for (int row = 0; row < count; ++row) printRow(list, remote.process, remote.base, row);
  int selected = static_cast<int>(sendTimed(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
  if (selected >= 0) std::printf("selected %d\n", selected);
}

// Each tool of one tooltip window: the control it describes and its text.
void printTools(HWND tip) {
  RemoteBlock remote(tip);
  if (!remote.base) return;
  const SIZE_T textOffset = 512;
  bool balloon = (GetWindowLongPtrW(tip, GWL_STYLE) & TTS_BALLOON) != 0;
  int width = static_cast<int>(sendTimed(tip, TTM_GETMAXTIPWIDTH, 0, 0));
  int count = static_cast<int>(sendTimed(tip, TTM_GETTOOLCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    TOOLINFOW info{};
    info.cbSize = sizeof info;
    info.lpszText = reinterpret_cast<wchar_t*>(remote.base + textOffset);
    wchar_t text[1024] = {};
    WriteProcessMemory(remote.process, remote.base, &info, sizeof info, nullptr);
    WriteProcessMemory(remote.process, remote.base + textOffset, text, sizeof text, nullptr);
    if (!sendTimed(tip, TTM_ENUMTOOLSW, i, reinterpret_cast<LPARAM>(remote.base))) continue;
    ReadProcessMemory(remote.process, remote.base, &info, sizeof info, nullptr);
    ReadProcessMemory(remote.process, remote.base + textOffset, text, sizeof text - sizeof(wchar_t), nullptr);
    HWND control = (info.uFlags & TTF_IDISHWND) ? reinterpret_cast<HWND>(info.uId) : nullptr;
    const char* name = control ? orv::ui::ids::controlName(GetDlgCtrlID(control)) : "";
    std::printf("tooltip %s balloon=%d width=%d text=%s\n", *name ? name : "-", balloon ? 1 : 0, width,
                utf8(text).c_str());
  }
}

BOOL CALLBACK eachThreadWindow(HWND window, LPARAM) {
  wchar_t cls[64] = {};
  GetClassNameW(window, cls, 64);
  if (lstrcmpiW(cls, TOOLTIPS_CLASSW) == 0) printTools(window);
  return TRUE;
}

// The tooltip windows are top-level windows of the progress window's thread.
void printTooltips(HWND window) {
  EnumThreadWindows(GetWindowThreadProcessId(window, nullptr), eachThreadWindow, 0);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: orvwinspy CAPTION [WAIT_SECONDS]\n");
    return 1;
  }
  std::wstring caption = wide(argv[1]);
  int waitMs = argc > 2 ? std::atoi(argv[2]) * 1000 : 0;
  HWND window = nullptr;
  for (int waited = 0;; waited += 100) {
    window = FindWindowW(L"OrvantisProgressWindow", caption.c_str());
    if (window || waited >= waitMs) break;
    Sleep(100);
  }
  if (!window) {
    std::printf("no window\n");
    return 2;
  }
  RECT client, outer;
  GetClientRect(window, &client);
  GetWindowRect(window, &outer);
  POINT origin{0, 0};
  ClientToScreen(window, &origin);
  bool topmost = (GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
  std::printf("screen %d %d\n", GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  std::printf("window %ld %ld %ld %ld %ld %ld visible=%d topmost=%d\n", client.right, client.bottom, outer.left,
              outer.top, outer.right - outer.left, outer.bottom - outer.top, IsWindowVisible(window) ? 1 : 0,
              topmost ? 1 : 0);
  std::printf("client-origin %ld %ld\n", origin.x, origin.y);
  EnumChildWindows(window, eachControl, 0);
  HWND content = GetDlgItem(window, orv::ui::ids::kContent);
  if (HWND list = GetDlgItem(content, orv::ui::ids::kList)) printRows(list);
  printTooltips(window);
  return 0;
}
