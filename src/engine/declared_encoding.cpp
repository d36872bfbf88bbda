#include "engine/declared_encoding.h"

#include <algorithm>

#include "engine/text_util.h"
#include "platform/utf8.h"

namespace orv {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// The value of the encoding pseudo-attribute of the declaration, or "".
std::string_view declaredName(std::string_view bytes) {
  if (bytes.substr(0, 5) != "<?xml" || bytes.size() < 6 || !isBlank(bytes[5])) return {};
  std::string_view decl = bytes.substr(0, bytes.find("?>"));
  size_t at = decl.find("encoding");
  if (at == std::string_view::npos) return {};
  size_t pos = at + 8;
  while (pos < decl.size() && isBlank(decl[pos])) ++pos;
  if (pos >= decl.size() || decl[pos] != '=') return {};
  ++pos;
  while (pos < decl.size() && isBlank(decl[pos])) ++pos;
  if (pos >= decl.size() || (decl[pos] != '"' && decl[pos] != '\'')) return {};
  size_t end = decl.find(decl[pos], pos + 1);
  if (end == std::string_view::npos) return {};
  return decl.substr(pos + 1, end - pos - 1);
}

// Where the last, possibly incomplete character of bytes starts: bytes.size()
// when it ends on a whole character.
size_t completePrefix(std::string_view bytes) {
  size_t back = std::min<size_t>(bytes.size(), 3);
  for (size_t i = 1; i <= back; ++i) {
    auto c = static_cast<unsigned char>(bytes[bytes.size() - i]);
    if ((c & 0xC0) == 0x80) continue;  // a continuation byte: keep looking back
    size_t need = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
    return need > i ? bytes.size() - i : bytes.size();
  }
  return bytes.size();
}

}  // namespace

bool DeclaredUtf8Scan::feed(std::string_view block) {
  if (!started_) {
    started_ = true;
    if (!equalsNoCase(declaredName(block), "UTF-8")) return false;
    answer_ = DeclaredUtf8::Valid;
  }
  if (answer_ != DeclaredUtf8::Valid) return false;
  std::string joined;
  if (!carry_.empty()) {
    joined = carry_;
    joined.append(block);
    block = joined;
  }
  size_t whole = completePrefix(block);
  if (!isValidUtf8(block.substr(0, whole))) {
    answer_ = DeclaredUtf8::Invalid;
    return false;
  }
  carry_.assign(block.substr(whole));
  return true;
}

DeclaredUtf8 DeclaredUtf8Scan::result() const {
  // A character still cut at the end of the file is not UTF-8.
  return answer_ == DeclaredUtf8::Valid && !carry_.empty() ? DeclaredUtf8::Invalid : answer_;
}

DeclaredUtf8 declaredUtf8(std::string_view bytes) {
  std::string_view name = declaredName(bytes);
  if (!equalsNoCase(name, "UTF-8")) return DeclaredUtf8::No;
  return isValidUtf8(bytes) ? DeclaredUtf8::Valid : DeclaredUtf8::Invalid;
}

}  // namespace orv
