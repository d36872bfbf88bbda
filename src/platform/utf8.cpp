#include "platform/utf8.h"

#include <cstdint>
#include <cstring>

namespace orv {

namespace {

bool isContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// Length of the sequence a lead byte starts, 0 for a byte that starts none.
size_t sequenceLength(unsigned char c) {
  if (c < 0x80) return 1;
  if (c >= 0xC2 && c <= 0xDF) return 2;
  if (c >= 0xE0 && c <= 0xEF) return 3;
  if (c >= 0xF0 && c <= 0xF4) return 4;
  return 0;  // continuation byte, overlong lead C0/C1, or F5..FF
}

}  // namespace

char32_t decodeUtf8(std::string_view text, size_t& pos, bool* valid) {
  auto lead = static_cast<unsigned char>(text[pos]);
  size_t len = sequenceLength(lead);
  if (len == 1) {
    ++pos;
    if (valid) *valid = true;
    return lead;
  }
  bool ok = len > 0 && pos + len <= text.size();
  char32_t cp = lead & (0xFF >> (len + 1));
  for (size_t k = 1; ok && k < len; ++k) {
    auto c = static_cast<unsigned char>(text[pos + k]);
    ok = isContinuation(c);
    cp = (cp << 6) | (c & 0x3F);
  }
  // Overlong three- and four-byte forms, surrogates, and beyond U+10FFFF.
  static const char32_t kMinimum[5] = {0, 0, 0x80, 0x800, 0x10000};
  if (ok) ok = cp >= kMinimum[len] && cp <= 0x10FFFF && !(cp >= 0xD800 && cp < 0xE000);
  if (valid) *valid = ok;
  if (!ok) {
    ++pos;
    return kReplacementChar;
  }
  pos += len;
  return cp;
}

bool isValidUtf8(std::string_view text) {
  size_t pos = 0;
  bool valid = true;
  while (pos < text.size()) {
    // Plain ASCII, the bulk of a directive file, is skipped eight bytes at a time.
    if (pos + 8 <= text.size()) {
      uint64_t word = 0;
      std::memcpy(&word, text.data() + pos, 8);
      if ((word & 0x8080808080808080u) == 0) {
        pos += 8;
        continue;
      }
    }
    if (static_cast<unsigned char>(text[pos]) < 0x80) {
      ++pos;
      continue;
    }
    decodeUtf8(text, pos, &valid);
    if (!valid) return false;
  }
  return true;
}

void appendUtf8(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

std::u16string toUtf16(std::string_view text, InvalidUtf8 rule) {
  std::u16string out;
  out.reserve(text.size());
  for (size_t pos = 0; pos < text.size();) {
    size_t start = pos;
    bool valid = true;
    char32_t cp = decodeUtf8(text, pos, &valid);
    if (!valid && rule == InvalidUtf8::Latin1) cp = static_cast<unsigned char>(text[start]);
    if (cp >= 0x10000) {
      out += static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
    } else {
      out += static_cast<char16_t>(cp);
    }
  }
  return out;
}

char32_t foldUpper(char32_t c) {
  if (c >= 'a' && c <= 'z') return c - 32;
  if (c < 0xE0) return c;
  if (c <= 0xFE) return c == 0xF7 ? c : c - 32;
  if (c == 0xFF) return 0x178;
  if (c >= 0x100 && c <= 0x17F) {
    // Pairs upper/lower; from U+0139 to U+0148 and U+0179 to U+017E the upper case is odd.
    if (c == 0x130 || c == 0x131 || c == 0x138 || c == 0x149 || c == 0x17F) return c;
    bool oddUpper = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
    if (oddUpper) return c % 2 == 0 ? c - 1 : c;
    return c % 2 == 1 ? c - 1 : c;
  }
  if (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2) return c - 32;
  if (c >= 0x430 && c <= 0x44F) return c - 32;
  if (c >= 0x450 && c <= 0x45F) return c - 80;
  return c;
}

std::string foldUpper(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t pos = 0; pos < text.size();) {
    size_t start = pos;
    bool valid = true;
    char32_t cp = decodeUtf8(text, pos, &valid);
    if (valid)
      appendUtf8(out, foldUpper(cp));
    else
      out.append(text.substr(start, pos - start));
  }
  return out;
}

std::string utf16ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    uint32_t cp = text[i];
    bool high = cp >= 0xD800 && cp < 0xDC00;
    if (high && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (cp >= 0xD800 && cp < 0xE000) {
      cp = 0xFFFD;
    }
    appendUtf8(out, cp);
  }
  return out;
}

}  // namespace orv
