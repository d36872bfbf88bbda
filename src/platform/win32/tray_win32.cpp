// Notification-area icons through Shell_NotifyIconW.
//
// The owner is a message-only window (HWND_MESSAGE) created on the interpreter
// thread at the first use: invisible and without size, it never receives the
// broadcasts other programs send to top-level windows, so the interpreter
// thread, which pumps no messages while directives run, can never make such a
// sender wait. Shell_NotifyIconW needs no message loop to add, change or
// remove icons; the callback messages the notification area posts for clicks
// are not used and are drained at each call so they never pile up.
#include <windows.h>
#include <shellapi.h>

#include <map>

#include "platform/os_error.h"
#include "platform/tray.h"
#include "platform/win32/gdi_picture.h"
#include "platform/win32/wide.h"

namespace orv::tray {

namespace {

constexpr UINT kCallbackMessage = WM_APP + 1;
constexpr UINT kBalloonMs = 10000;

struct TrayState {
  HWND owner = nullptr;
  UINT nextId = 1;
  std::map<UINT, HICON> pictureIcons;  // icons made from pictures, destroyed with their tray icon
};

// Lives for the whole run, like the icons (never destroyed: no work at exit).
TrayState& state() {
  static TrayState* s = new TrayState();
  return *s;
}

// False for a service or any process whose window station has no visible
// desktop (session 0): its icons would never be seen.
bool interactiveDesktop() {
  DWORD session = 0;
  if (ProcessIdToSessionId(GetCurrentProcessId(), &session) && session == 0) return false;
  USEROBJECTFLAGS flags{};
  HWINSTA station = GetProcessWindowStation();
  if (station == nullptr) return false;
  if (!GetUserObjectInformationW(station, UOI_FLAGS, &flags, sizeof(flags), nullptr)) return true;
  return (flags.dwFlags & WSF_VISIBLE) != 0;
}

void drainMessages(HWND owner) {
  MSG msg;
  while (PeekMessageW(&msg, owner, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

// The structure's size for the running Windows: the full layout from Vista
// on, the Windows XP layout before.
DWORD noticeSize() {
  using Fn = LONG(WINAPI*)(OSVERSIONINFOW*);
  static DWORD size = [] {
    OSVERSIONINFOW v{};
    v.dwOSVersionInfoSize = sizeof(v);
    auto fn = reinterpret_cast<Fn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion")));
    if (fn && fn(&v) == 0 && v.dwMajorVersion < 6) return static_cast<DWORD>(NOTIFYICONDATAW_V3_SIZE);
    return static_cast<DWORD>(sizeof(NOTIFYICONDATAW));
  }();
  return size;
}

NOTIFYICONDATAW notice(int64_t id) {
  NOTIFYICONDATAW data{};
  data.cbSize = noticeSize();
  data.hWnd = state().owner;
  data.uID = static_cast<UINT>(id);
  return data;
}

// Copies the first characters of text into a fixed field (never half a
// surrogate pair), always ending it.
template <size_t N>
void copyField(wchar_t (&field)[N], const std::string& text, size_t keep) {
  std::wstring w = win::widen(text);
  size_t n = w.size() < keep ? w.size() : keep;
  if (n > 0 && n < w.size() && IS_HIGH_SURROGATE(w[n - 1])) --n;
  if (n >= N) n = N - 1;
  w.copy(field, n);
  field[n] = L'\0';
}

LPCWSTR stockName(StockIcon icon) {
  switch (icon) {
    case StockIcon::Asterisk: return IDI_ASTERISK;
    case StockIcon::Error: return IDI_ERROR;
    case StockIcon::Warning: return IDI_WARNING;
    case StockIcon::Information: return IDI_INFORMATION;
    case StockIcon::Question: return IDI_QUESTION;
    case StockIcon::Shield: return IDI_SHIELD;
    default: return IDI_APPLICATION;
  }
}

bool notify(DWORD message, NOTIFYICONDATAW& data, const char* what) {
  drainMessages(state().owner);
  if (Shell_NotifyIconW(message, &data)) return true;
  sys::recordLastOsError(what, "");
  return false;
}

}  // namespace

bool ensureOwner() {
  TrayState& s = state();
  if (s.owner != nullptr) return true;
  if (!interactiveDesktop()) return false;
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSW wc{};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = instance;
  wc.lpszClassName = L"OrvantisTrayOwner";
  RegisterClassW(&wc);  // already registered: CreateWindowExW still finds it
  s.owner =
      CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
  if (s.owner == nullptr) sys::recordLastOsError("CreateWindowExW", "");
  return s.owner != nullptr;
}

int64_t addIcon(const IconSource& icon) {
  TrayState& s = state();
  if (s.owner == nullptr) return 0;
  UINT id = s.nextId++;
  NOTIFYICONDATAW data = notice(id);
  data.uFlags = NIF_ICON | NIF_TIP | NIF_MESSAGE;
  data.uCallbackMessage = kCallbackMessage;
  HICON made = nullptr;
  if (icon.kind == IconSource::Kind::Stock) data.hIcon = LoadIconW(nullptr, stockName(icon.stock));
  if (icon.kind == IconSource::Kind::Picture) data.hIcon = made = iconFromPicture(icon.picture);
  if (!notify(NIM_ADD, data, "Shell_NotifyIconW")) {
    if (made) DestroyIcon(made);
    return 0;
  }
  if (made) s.pictureIcons[id] = made;
  return id;
}

bool setTooltip(int64_t id, const std::string& text) {
  NOTIFYICONDATAW data = notice(id);
  data.uFlags = NIF_TIP;
  copyField(data.szTip, text, 127);
  return notify(NIM_MODIFY, data, "Shell_NotifyIconW");
}

bool removeIcon(int64_t id) {
  NOTIFYICONDATAW data = notice(id);
  if (!notify(NIM_DELETE, data, "Shell_NotifyIconW")) return false;
  auto it = state().pictureIcons.find(static_cast<UINT>(id));
  if (it != state().pictureIcons.end()) {
    DestroyIcon(it->second);
    state().pictureIcons.erase(it);
  }
  return true;
}

bool showBalloon(int64_t id, const std::string& title, const std::string& text, int balloonIcon) {
  NOTIFYICONDATAW data = notice(id);
  data.uFlags = NIF_INFO;
  copyField(data.szInfo, text, 255);
  copyField(data.szInfoTitle, title, 63);
  data.dwInfoFlags = static_cast<DWORD>(balloonIcon);
  data.uTimeout = kBalloonMs;
  return notify(NIM_MODIFY, data, "Shell_NotifyIconW");
}

}  // namespace orv::tray
