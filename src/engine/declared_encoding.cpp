#include "engine/declared_encoding.h"

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

}  // namespace

DeclaredUtf8 declaredUtf8(std::string_view bytes) {
  std::string_view name = declaredName(bytes);
  if (!equalsNoCase(name, "UTF-8")) return DeclaredUtf8::No;
  return isValidUtf8(bytes) ? DeclaredUtf8::Valid : DeclaredUtf8::Invalid;
}

}  // namespace orv
