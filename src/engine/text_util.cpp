#include "engine/text_util.h"

#include <cctype>
#include <limits>

namespace orv {

static int digitValue(char c, int base) {
  int v = -1;
  if (c >= '0' && c <= '9')
    v = c - '0';
  else if (c >= 'a' && c <= 'f')
    v = c - 'a' + 10;
  else if (c >= 'A' && c <= 'F')
    v = c - 'A' + 10;
  return v >= 0 && v < base ? v : -1;
}

int64_t numberValue(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  int base = 10;
  if (i < text.size() && text[i] == '$')
    base = 16, ++i;
  else if (i < text.size() && text[i] == '%')
    base = 2, ++i;
  uint64_t value = 0;  // unsigned arithmetic wraps instead of overflowing
  for (; i < text.size(); ++i) {
    int d = digitValue(text[i], base);
    if (d < 0) break;
    value = value * static_cast<uint64_t>(base) + static_cast<uint64_t>(d);
  }
  if (negative) value = 0 - value;
  return static_cast<int64_t>(value);
}

std::string toLower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::string toUpper(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

static char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

bool equalsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
  return true;
}

static bool isContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

std::string firstChars(std::string_view text, size_t n) {
  size_t i = 0, count = 0;
  while (i < text.size() && count < n) {
    ++i;
    while (i < text.size() && isContinuation(text[i])) ++i;
    ++count;
  }
  return std::string(text.substr(0, i));
}

std::string firstBytes(std::string_view text, size_t n) {
  if (text.size() <= n) return std::string(text);
  size_t end = n;
  while (end > 0 && isContinuation(text[end])) --end;
  return std::string(text.substr(0, end));
}

size_t find(std::string_view text, std::string_view needle, bool ignoreCase, size_t pos) {
  if (!ignoreCase) return text.find(needle, pos);
  if (needle.empty()) return pos <= text.size() ? pos : std::string_view::npos;
  for (size_t i = pos; i + needle.size() <= text.size(); ++i)
    if (equalsNoCase(text.substr(i, needle.size()), needle)) return i;
  return std::string_view::npos;
}

std::string replaceAll(std::string_view text, std::string_view from, std::string_view to, bool ignoreCase) {
  if (from.empty()) return std::string(text);
  std::string out;
  size_t pos = 0;
  for (;;) {
    size_t hit = find(text, from, ignoreCase, pos);
    if (hit == std::string_view::npos) break;
    out.append(text.substr(pos, hit - pos));
    out.append(to);
    pos = hit + from.size();
  }
  out.append(text.substr(pos));
  return out;
}

static int64_t held(bool high, bool* saturated) {
  if (saturated) *saturated = true;
  return high ? std::numeric_limits<int64_t>::max() : std::numeric_limits<int64_t>::min();
}

int64_t saturatingAdd(int64_t a, int64_t b, bool* saturated) {
  int64_t out;
  if (__builtin_add_overflow(a, b, &out)) return held(b > 0, saturated);
  if (saturated) *saturated = false;
  return out;
}

int64_t saturatingMul(int64_t a, int64_t b, bool* saturated) {
  int64_t out;
  if (__builtin_mul_overflow(a, b, &out)) return held((a < 0) == (b < 0), saturated);
  if (saturated) *saturated = false;
  return out;
}

std::string decimal(int64_t value) { return std::to_string(value); }

std::string maskUrlPasswords(std::string_view text) {
  std::string out(text);
  for (size_t pos = out.find("://"); pos != std::string::npos; pos = out.find("://", pos + 3)) {
    size_t start = pos + 3;
    size_t end = out.find_first_of("/?# \t", start);
    if (end == std::string::npos) end = out.size();
    size_t at = out.rfind('@', end == 0 ? 0 : end - 1);
    if (at == std::string::npos || at < start) continue;
    size_t colon = out.find(':', start);
    if (colon == std::string::npos || colon > at) continue;
    out.replace(colon + 1, at - colon - 1, "***");
  }
  return out;
}

}  // namespace orv
