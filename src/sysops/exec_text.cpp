// The text rules of EXEC: accepted codes and captured output.
#include <cstring>

#include "engine/text_util.h"
#include "platform/text.h"
#include "sysops/exec.h"

namespace orv {

namespace {

// Line by line, each line read as UTF-8 when it is, else in the ANSI code page.
std::string convertedLines(const std::string& bytes) {
  std::string out;
  for (size_t start = 0; start < bytes.size();) {
    size_t lf = bytes.find('\n', start);
    size_t end = lf == std::string::npos ? bytes.size() : lf;
    size_t stop = end > start && bytes[end - 1] == '\r' ? end - 1 : end;
    const char* line = bytes.data() + start;
    if (isValidUtf8(std::string_view(line, stop - start)))
      out.append(line, stop - start);
    else
      out += text::ansiToUtf8(std::string(line, stop - start));
    out += '\r';
    start = lf == std::string::npos ? bytes.size() : lf + 1;
  }
  return out;
}

}  // namespace

bool acceptsExitCode(const std::string& list, int64_t code) {
  std::string fields = list + ",";
  size_t start = 0;
  for (size_t comma; (comma = fields.find(',', start)) != std::string::npos; start = comma + 1)
    if (numberValue(std::string_view(fields).substr(start, comma - start)) == code) return true;
  return false;
}

std::string capturedText(std::string bytes) {
  if (!isValidUtf8(bytes)) return convertedLines(bytes);
  // UTF-8 text (the usual case, possibly hundreds of megabytes) is rewritten in place.
  size_t write = 0;
  for (size_t start = 0; start < bytes.size();) {
    size_t lf = bytes.find('\n', start);
    size_t end = lf == std::string::npos ? bytes.size() : lf;
    size_t stop = end > start && bytes[end - 1] == '\r' ? end - 1 : end;
    if (write != start) std::memmove(&bytes[write], &bytes[start], stop - start);
    write += stop - start;
    if (lf == std::string::npos && write == bytes.size()) {
      bytes.push_back('\r');
      return bytes;
    }
    bytes[write++] = '\r';
    start = lf == std::string::npos ? bytes.size() : lf + 1;
  }
  bytes.resize(write);
  return bytes;
}

}  // namespace orv
