#include "sysops/mime_words.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

namespace orv {

namespace {

const char kBase64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

std::string trimmed(const std::string& text) {
  size_t begin = text.find_first_not_of(" \t");
  if (begin == std::string::npos) return {};
  size_t end = text.find_last_not_of(" \t");
  return text.substr(begin, end - begin + 1);
}

std::string oneLine(std::string text) {
  for (char& c : text)
    if (c == '\r' || c == '\n') c = ' ';
  return text;
}

// Length of the UTF-8 sequence starting with byte c (1 for stray bytes).
size_t sequenceLength(unsigned char c) {
  if (c >= 0xF0) return 4;
  if (c >= 0xE0) return 3;
  if (c >= 0xC0) return 2;
  return 1;
}

bool isAttrChar(unsigned char c) {
  if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return true;
  return std::string("!#$&+-.^_`|~").find(static_cast<char>(c)) != std::string::npos;
}

std::string quoted(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

}  // namespace

bool isAscii(const std::string& text) {
  for (unsigned char c : text)
    if (c >= 0x80) return false;
  return true;
}

std::string base64(const std::string& bytes) {
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  for (size_t i = 0; i < bytes.size(); i += 3) {
    uint32_t n = static_cast<unsigned char>(bytes[i]) << 16;
    if (i + 1 < bytes.size()) n |= static_cast<unsigned char>(bytes[i + 1]) << 8;
    if (i + 2 < bytes.size()) n |= static_cast<unsigned char>(bytes[i + 2]);
    out += kBase64[(n >> 18) & 63];
    out += kBase64[(n >> 12) & 63];
    out += i + 1 < bytes.size() ? kBase64[(n >> 6) & 63] : '=';
    out += i + 2 < bytes.size() ? kBase64[n & 63] : '=';
  }
  return out;
}

std::string encodeHeaderText(const std::string& input) {
  std::string text = oneLine(input);
  if (isAscii(text)) return text;
  // 45 bytes give 60 base64 characters: with "=?UTF-8?B?" and "?=", 72 in all.
  std::string out, chunk;
  auto flush = [&] {
    if (chunk.empty()) return;
    out += (out.empty() ? "" : "\r\n ") + std::string("=?UTF-8?B?") + base64(chunk) + "?=";
    chunk.clear();
  };
  for (size_t i = 0; i < text.size();) {
    size_t n = std::min(sequenceLength(static_cast<unsigned char>(text[i])), text.size() - i);
    if (chunk.size() + n > 45) flush();
    chunk += text.substr(i, n);
    i += n;
  }
  flush();
  return out;
}

std::string mailboxAddress(const std::string& mailbox) {
  size_t open = mailbox.rfind('<');
  size_t close = open == std::string::npos ? std::string::npos : mailbox.find('>', open);
  if (close == std::string::npos) return trimmed(oneLine(mailbox));
  return trimmed(oneLine(mailbox.substr(open + 1, close - open - 1)));
}

std::string encodeMailbox(const std::string& mailbox) {
  size_t open = mailbox.rfind('<');
  if (open == std::string::npos || mailbox.find('>', open) == std::string::npos)
    return mailboxAddress(mailbox);
  std::string name = trimmed(oneLine(mailbox.substr(0, open)));
  std::string address = "<" + mailboxAddress(mailbox) + ">";
  if (name.empty()) return address;
  if (!isAscii(name)) return encodeHeaderText(name) + " " + address;
  if (name.find_first_of("()<>[]:;@\\,.\"") != std::string::npos) return quoted(name) + " " + address;
  return name + " " + address;
}

std::string attachmentDisposition(const std::string& input) {
  std::string name = oneLine(input);
  if (isAscii(name)) return "Content-Disposition: attachment; filename=" + quoted(name);
  std::string out = "Content-Disposition: attachment; filename*=UTF-8''";
  for (unsigned char c : name) {
    char hex[4];
    std::snprintf(hex, sizeof hex, "%%%02X", c);
    out += isAttrChar(c) ? std::string(1, static_cast<char>(c)) : std::string(hex);
  }
  return out;
}

std::string mailDate(long long seconds) {
  static const char* const kDays[] = {"Thu", "Fri", "Sat", "Sun", "Mon", "Tue", "Wed"};
  static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  long long days = seconds / 86400, rest = seconds % 86400;
  // Civil date from a day count (Howard Hinnant's algorithm).
  long long z = days + 719468, era = z / 146097, doe = z - era * 146097;
  long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100), mp = (5 * doy + 2) / 153;
  long long day = doy - (153 * mp + 2) / 5 + 1, month = mp < 10 ? mp + 3 : mp - 9;
  long long year = yoe + era * 400 + (month <= 2 ? 1 : 0);
  char buf[64];
  std::snprintf(buf, sizeof buf, "%s, %lld %s %lld %02lld:%02lld:%02lld +0000", kDays[days % 7], day,
                kMonths[month - 1], year, rest / 3600, rest / 60 % 60, rest % 60);
  return buf;
}

}  // namespace orv
