// The text rules of EXEC: accepted codes and captured output.
#include <cstring>

#include "engine/text_util.h"
#include "platform/text.h"
#include "sysops/exec.h"

namespace orv {

namespace {

bool validUtf8(const char* p, size_t n) {
  for (size_t i = 0; i < n;) {
    unsigned char c = static_cast<unsigned char>(p[i]);
    size_t len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    if (len == 0 || i + len > n) return false;
    for (size_t k = 1; k < len; ++k)
      if ((static_cast<unsigned char>(p[i + k]) & 0xC0) != 0x80) return false;
    i += len;
  }
  return true;
}

// Line by line, each line read as UTF-8 when it is, else in the ANSI code page.
std::string convertedLines(const std::string& bytes) {
  std::string out;
  for (size_t start = 0; start < bytes.size();) {
    size_t lf = bytes.find('\n', start);
    size_t end = lf == std::string::npos ? bytes.size() : lf;
    size_t stop = end > start && bytes[end - 1] == '\r' ? end - 1 : end;
    const char* line = bytes.data() + start;
    if (validUtf8(line, stop - start)) out.append(line, stop - start);
    else out += text::ansiToUtf8(std::string(line, stop - start));
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
  if (!validUtf8(bytes.data(), bytes.size())) return convertedLines(bytes);
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
