// Windows-1252 stands in for the ANSI code page on POSIX.
#include "engine/text_util.h"
#include "platform/text.h"

#include <cstdint>

namespace orv::text {

// Code points of bytes 0x80..0x9F in Windows-1252 (0 where the byte is unassigned).
static const uint16_t kHigh[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                   0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                   0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                   0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

std::string ansiToUtf8(const std::string& bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (unsigned char b : bytes) {
    uint32_t cp = b;
    if (b >= 0x80 && b < 0xA0) cp = kHigh[b - 0x80] ? kHigh[b - 0x80] : b;
    appendUtf8(out, cp);
  }
  return out;
}

static char toAnsi(uint32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<char>(cp);
  // The five bytes Windows-1252 leaves unassigned came in as U+0081.. and go back unchanged.
  if (cp >= 0x80 && cp < 0xA0 && kHigh[cp - 0x80] == 0) return static_cast<char>(cp);
  for (int i = 0; i < 32; ++i)
    if (kHigh[i] == cp) return static_cast<char>(0x80 + i);
  return '?';
}

std::string utf8ToAnsi(const std::string& utf8) {
  std::string out;
  for (size_t i = 0; i < utf8.size();) {
    bool valid = true;
    char32_t cp = decodeUtf8(utf8, i, &valid);
    out += valid ? toAnsi(cp) : '?';
  }
  return out;
}

}  // namespace orv::text
