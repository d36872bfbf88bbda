// Conversions between registry value data and the text the program uses.
// String data is UTF-16LE; the program's text is UTF-8.
#include <cstdio>

#include "engine/text_util.h"
#include "engine/registry.h"

namespace orv {

namespace {

// UTF-16 code units of data, an odd last byte ignored.
std::vector<uint16_t> units(const std::vector<uint8_t>& data) {
  std::vector<uint16_t> out(data.size() / 2);
  for (size_t i = 0; i < out.size(); ++i)
    out[i] = static_cast<uint16_t>(data[2 * i] | (data[2 * i + 1] << 8));
  return out;
}

// UTF-8 text of units [begin, end); unpaired surrogates become U+FFFD.
std::string utf8Of(const std::vector<uint16_t>& u, size_t begin, size_t end) {
  return utf16ToUtf8(std::u16string(u.begin() + static_cast<std::ptrdiff_t>(begin),
                                    u.begin() + static_cast<std::ptrdiff_t>(end)));
}

// Appends text as UTF-16LE bytes (invalid UTF-8 bytes read as Latin-1).
void appendUtf16(std::vector<uint8_t>& out, const std::string& text) {
  for (char16_t unit : toUtf16(text, InvalidUtf8::Latin1)) {
    out.push_back(static_cast<uint8_t>(unit & 0xFF));
    out.push_back(static_cast<uint8_t>(unit >> 8));
  }
}

uint64_t littleEndian(const std::vector<uint8_t>& data, size_t bytes) {
  uint64_t v = 0;
  for (size_t i = 0; i < bytes && i < data.size(); ++i) v |= static_cast<uint64_t>(data[i]) << (8 * i);
  return v;
}

std::vector<uint8_t> bytesOf(uint64_t v, size_t bytes) {
  std::vector<uint8_t> out(bytes);
  for (size_t i = 0; i < bytes; ++i) out[i] = static_cast<uint8_t>(v >> (8 * i));
  return out;
}

}  // namespace

std::vector<std::string> multiStringLines(const std::vector<uint8_t>& data) {
  std::vector<uint16_t> u = units(data);
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t i = 0; i <= u.size(); ++i) {
    if (i < u.size() && u[i] != 0) continue;
    if (i > start) lines.push_back(utf8Of(u, start, i));
    start = i + 1;
  }
  return lines;
}

std::vector<uint8_t> multiStringData(const std::vector<std::string>& lines) {
  std::vector<uint8_t> out;
  for (const std::string& line : lines) {
    appendUtf16(out, line);
    out.push_back(0);
    out.push_back(0);
  }
  out.push_back(0);
  out.push_back(0);
  return out;
}

std::string registryDataToText(uint32_t type, const std::vector<uint8_t>& data) {
  switch (type) {
    case kRegSz:
    case kRegExpandSz: {
      std::vector<uint16_t> u = units(data);
      size_t end = 0;
      while (end < u.size() && u[end] != 0) ++end;
      return utf8Of(u, 0, end);
    }
    case kRegDword: return std::to_string(static_cast<uint32_t>(littleEndian(data, 4)));
    case kRegQword: return decimal(static_cast<int64_t>(littleEndian(data, 8)));
    case kRegBinary: {
      std::string out;
      char hex[3];
      for (uint8_t b : data) {
        std::snprintf(hex, sizeof hex, "%02X", b);
        out += hex;
      }
      return out;
    }
    case kRegMultiSz: {
      std::string out;
      for (const std::string& line : multiStringLines(data)) out += " " + line;
      return out;
    }
    default: return "";
  }
}

std::vector<uint8_t> registryTextToData(uint32_t type, const std::string& text) {
  switch (type) {
    case kRegSz:
    case kRegExpandSz: {
      std::vector<uint8_t> out;
      appendUtf16(out, text);
      out.push_back(0);
      out.push_back(0);
      return out;
    }
    case kRegDword: return bytesOf(static_cast<uint64_t>(numberValue(text)), 4);
    case kRegQword: return bytesOf(static_cast<uint64_t>(numberValue(text)), 8);
    case kRegBinary: {
      std::vector<uint8_t> out;
      for (size_t i = 0; i + 1 < text.size(); i += 2)
        out.push_back(static_cast<uint8_t>(numberValue("$" + text.substr(i, 2))));
      return out;
    }
    case kRegMultiSz: return multiStringData({text});
    default: return {};
  }
}

}  // namespace orv
