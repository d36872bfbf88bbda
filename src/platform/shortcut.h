// Shortcut files: a Windows shell link (.lnk), or on Linux a freedesktop.org
// desktop entry written at the same place.
#pragma once
#include <string>
#include <vector>

namespace orv::shortcut {

// What a shortcut holds.
struct ShortcutFields {
  std::string location;          // the shortcut file to write
  std::string targetPath;        // what it starts
  std::string parameters;        // the argument text, as a command line
  std::string workingDirectory;  // where the target starts
  std::string description;       // the comment shown for it
  std::string iconFile;          // the file holding its icon
  int iconIndex = 0;             // the icon's index in that file
  int showCommand = 1;           // 1 normal, 2 minimised, 3 maximised
};

// Writes the shortcut. Outcomes of the individual steps are not reported:
// callers judge success by the file's existence.
void createShortcut(const ShortcutFields& link);

// The desktop entry text of link (Type=Application, Name from the file name,
// Exec from the target and the split parameters quoted by the desktop-entry
// rules, Path, Comment, Icon), with LF line ends.
std::string desktopEntryText(const ShortcutFields& link);

}  // namespace orv::shortcut
