// Shortcuts on Linux: a desktop entry at the shortcut's place, executable so
// that desktops trust and show it.
#include <sys/stat.h>

#include "platform/files.h"
#include "platform/shortcut.h"

namespace orv::shortcut {

void createShortcut(const ShortcutFields& link) {
  // Written beside it, then renamed over it: a failed write never leaves a
  // partial entry that would pass for a created shortcut.
  std::string temporary = link.location + ".orvantis-tmp";
  if (!fs::writeFile(temporary, desktopEntryText(link)) || chmod(temporary.c_str(), 0755) != 0 ||
      !fs::replaceFile(temporary, link.location))
    fs::removeFile(temporary);
}

}  // namespace orv::shortcut
