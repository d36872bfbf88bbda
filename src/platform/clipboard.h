// The clipboard's text.
#pragma once
#include <string>

namespace orv::clip {

enum class ClipboardRead {
  Read,         // text holds the clipboard's text (empty when it holds no text)
  NoDesktop,    // no interactive desktop (always on POSIX): no clipboard to read
  Unavailable,  // the clipboard could not be opened (failure recorded)
};

// Reads the clipboard's Unicode text as UTF-8.
ClipboardRead readClipboardText(std::string& text);

}  // namespace orv::clip
