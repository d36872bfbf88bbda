// The desktop entry text of a shortcut.
#include "platform/process.h"
#include "platform/shortcut.h"

namespace orv::shortcut {

namespace {

// One argument of Exec: quoted when it holds a reserved character, with the
// characters that must be escaped inside quotes escaped, and "%" doubled
// (field codes start with it).
std::string execArgument(const std::string& arg) {
  static const std::string reserved = " \t\n\"'\\><~|&;$*?#()`=";
  bool quote = arg.empty() || arg.find_first_of(reserved) != std::string::npos;
  std::string out;
  for (char c : arg) {
    if (c == '%') out += '%';
    if (quote && (c == '"' || c == '`' || c == '$' || c == '\\')) out += '\\';
    out += c;
  }
  return quote ? "\"" + out + "\"" : out;
}

// A string value of a key: newlines, tabs and backslashes escaped.
std::string keyValue(const std::string& value) {
  std::string out;
  for (char c : value) {
    switch (c) {
      case '\n': out += "\\n"; break;
      case '\t': out += "\\t"; break;
      case '\r': out += "\\r"; break;
      case '\\': out += "\\\\"; break;
      default: out += c;
    }
  }
  return out;
}

// The file name without its folder and its last extension.
std::string displayName(const std::string& location) {
  std::string name = location.substr(location.find_last_of("/\\") + 1);
  size_t dot = name.rfind('.');
  return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

}  // namespace

std::string desktopEntryText(const ShortcutFields& link) {
  std::string exec = execArgument(link.targetPath);
  for (const std::string& arg : proc::splitCommandLine(link.parameters)) exec += " " + execArgument(arg);
  std::string text = "[Desktop Entry]\nType=Application\n";
  text += "Name=" + keyValue(displayName(link.location)) + "\n";
  // Exec is itself escaped as a string value on top of its own quoting.
  text += "Exec=" + keyValue(exec) + "\n";
  if (!link.workingDirectory.empty()) text += "Path=" + keyValue(link.workingDirectory) + "\n";
  if (!link.description.empty()) text += "Comment=" + keyValue(link.description) + "\n";
  if (!link.iconFile.empty()) text += "Icon=" + keyValue(link.iconFile) + "\n";
  return text;
}

}  // namespace orv::shortcut
