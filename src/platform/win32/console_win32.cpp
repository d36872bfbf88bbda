#include <windows.h>
#include <algorithm>

#include "platform/console.h"
#include "platform/win32/wide.h"

namespace orv::console {

static bool usable(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }

void attachParentConsole() {
  // A redirection (file or pipe) given by the caller is kept as it is.
  if (usable(GetStdHandle(STD_OUTPUT_HANDLE))) return;
  if (!AttachConsole(ATTACH_PARENT_PROCESS)) return;
  HANDLE out = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           nullptr, OPEN_EXISTING, 0, nullptr);
  if (usable(out)) SetStdHandle(STD_OUTPUT_HANDLE, out);
}

void writeOut(const std::string& text) {
  HANDLE h = GetStdHandle(STD_OUTPUT_HANDLE);
  if (!usable(h)) return;
  DWORD mode = 0;
  if (GetConsoleMode(h, &mode)) {
    std::wstring w = win::widen(text);
    size_t done = 0;
    while (done < w.size()) {
      DWORD n = 0;
      DWORD chunk = static_cast<DWORD>(std::min<size_t>(w.size() - done, 16384));
      if (!WriteConsoleW(h, w.data() + done, chunk, &n, nullptr) || n == 0) return;
      done += n;
    }
    return;
  }
  size_t done = 0;
  while (done < text.size()) {
    DWORD n = 0;
    DWORD chunk = static_cast<DWORD>(std::min<size_t>(text.size() - done, 1u << 20));
    if (!WriteFile(h, text.data() + done, chunk, &n, nullptr) || n == 0) return;
    done += n;
  }
}

}  // namespace orv::console
