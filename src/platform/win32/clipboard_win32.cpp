// The clipboard's CF_UNICODETEXT through OpenClipboard / GetClipboardData.
#include <windows.h>

#include "platform/ask.h"
#include "platform/clipboard.h"
#include "platform/os_error.h"
#include "platform/win32/wide.h"

namespace orv::clip {

namespace {

// Another program may hold the clipboard for a moment: a few short retries.
bool openClipboard() {
  for (int attempt = 0; attempt < 10; ++attempt) {
    if (OpenClipboard(nullptr)) return true;
    Sleep(20);
  }
  sys::recordLastOsError("OpenClipboard", "");
  return false;
}

}  // namespace

ClipboardRead readClipboardText(std::string& text) {
  text.clear();
  if (!ask::interactiveDesktop()) return ClipboardRead::NoDesktop;
  if (!openClipboard()) return ClipboardRead::Unavailable;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
      SIZE_T bytes = GlobalSize(data);
      size_t len = wcsnlen(chars, bytes / sizeof(wchar_t));
      text = win::narrow(chars, len);
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return ClipboardRead::Read;
}

}  // namespace orv::clip
