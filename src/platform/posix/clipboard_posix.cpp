// No desktop clipboard on POSIX builds.
#include "platform/clipboard.h"

namespace orv::clip {

ClipboardRead readClipboardText(std::string& text) {
  text.clear();
  return ClipboardRead::NoDesktop;
}

}  // namespace orv::clip
