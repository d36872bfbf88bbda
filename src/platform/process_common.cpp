// Parameter text splitting shared by both platforms.
#include "platform/process.h"

namespace orv::proc {

std::vector<std::string> splitCommandLine(const std::string& text) {
  std::vector<std::string> args;
  std::string current;
  bool inArg = false, quoted = false;
  for (size_t i = 0; i < text.size();) {
    char c = text[i];
    if (!quoted && (c == ' ' || c == '\t' || c == '\n' || c == '\r')) {
      if (inArg) args.push_back(current), current.clear(), inArg = false;
      ++i;
      continue;
    }
    inArg = true;
    if (c == '\\') {
      size_t n = 0;
      while (i < text.size() && text[i] == '\\') ++n, ++i;
      if (i < text.size() && text[i] == '"') {
        current.append(n / 2, '\\');
        if (n % 2 == 1) current += '"', ++i;
      } else {
        current.append(n, '\\');
      }
      continue;
    }
    if (c == '"') {
      if (quoted && i + 1 < text.size() && text[i + 1] == '"') {
        current += '"';
        i += 2;
        continue;
      }
      quoted = !quoted;
      ++i;
      continue;
    }
    current += c;
    ++i;
  }
  if (inArg) args.push_back(current);
  return args;
}

}  // namespace orv::proc
