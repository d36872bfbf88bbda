#include "sysops/plugin_host.h"

#include <orvantis/plugin.h>

#include <cctype>
#include <cstring>

#include "engine/directive.h"
#include "engine/document.h"
#include "engine/engine.h"
#include "engine/expand.h"
#include "engine/text_util.h"
#include "engine/utf16.h"

namespace orv {

namespace {

// The handle: the C struct first, so that the plug-in's pointer is ours.
struct HostElement {
  OrvElement element;
  Engine* engine;
  const DirectiveNode* node;
  const AttributeMap* attrs;
};

HostElement& host(OrvElement* element) { return *reinterpret_cast<HostElement*>(element); }

std::string text(const char* s) { return s ? std::string(s) : std::string(); }

// The expanded value, or nothing when the element has no such attribute.
bool expandedAttribute(OrvElement* element, const char* name, std::string& value) {
  HostElement& h = host(element);
  std::string key = toLower(text(name));
  if (!h.attrs->has(key)) return false;
  value = expandAttribute(*h.engine, h.attrs->get(key));
  return true;
}

int64_t attribute(OrvElement* element, const char* name, char* buffer, size_t capacity) {
  std::string value;
  if (!expandedAttribute(element, name, value)) return copyUtf8("", buffer, capacity), -1;
  return copyUtf8(value, buffer, capacity);
}

int64_t attributeUtf16(OrvElement* element, const char* name, char16_t* buffer, size_t capacity) {
  std::string value;
  if (!expandedAttribute(element, name, value)) return copyUtf16(u"", buffer, capacity), -1;
  return copyUtf16(utf8ToUtf16(value), buffer, capacity);
}

int64_t tag(OrvElement* element, char* buffer, size_t capacity) {
  return copyUtf8(std::string(host(element).node->name), buffer, capacity);
}

int64_t path(OrvElement* element, char* buffer, size_t capacity) {
  return copyUtf8(host(element).node->path(), buffer, capacity);
}

void log(OrvElement* element, const char* level, const char* message) {
  host(element).engine->log(text(message), safeLevel(level));
}

int64_t memo(OrvElement* element, const char* name, char* buffer, size_t capacity) {
  const MemoStore& memos = host(element).engine->memos;
  const MemoEntry* entry = memos.find(text(name));
  if (!entry) return copyUtf8("", buffer, capacity), -1;
  return copyUtf8(memos.textOf(*entry), buffer, capacity);
}

int setMemo(OrvElement* element, const char* name, const char* value) {
  if (!name || !*name) return 0;
  host(element).engine->memos.set(name, text(value));
  return 1;
}

const OrvHostApi kHostApi = {
    ORV_HOST_API_VERSION, sizeof(OrvHostApi), attribute, attributeUtf16, tag, path, log, memo, setMemo,
};

}  // namespace

int64_t copyUtf8(const std::string& text, char* buffer, size_t capacity) {
  if (buffer && capacity > 0) {
    std::string part = firstBytes(text, capacity - 1);
    std::memcpy(buffer, part.data(), part.size());
    buffer[part.size()] = '\0';
  }
  return static_cast<int64_t>(text.size());
}

int64_t copyUtf16(const std::u16string& text, char16_t* buffer, size_t capacity) {
  if (buffer && capacity > 0) {
    size_t n = std::min(text.size(), capacity - 1);
    if (n > 0 && n < text.size() && text[n - 1] >= 0xD800 && text[n - 1] < 0xDC00) --n;
    std::memcpy(buffer, text.data(), n * sizeof(char16_t));
    buffer[n] = 0;
  }
  return static_cast<int64_t>(text.size());
}

std::string safeLevel(const char* level) {
  std::string token = text(level);
  std::string head = toUpper(token.substr(0, 3));
  size_t pos = (head == "LVL" || head == "ERR" || head == "WRN" || head == "ATT") ? 3 : 0;
  if (pos < token.size() && (token[pos] == '+' || token[pos] == '-')) ++pos;
  size_t digits = 0;
  while (pos + digits < token.size() && std::isdigit(static_cast<unsigned char>(token[pos + digits])))
    ++digits;
  if (pos + digits != token.size() || digits > 2 || token.empty()) return "+1";
  return token;
}

intptr_t callTagFunction(Engine& engine, const DirectiveNode& node, const AttributeMap& attrs,
                         void* function) {
  HostElement handle{{&kHostApi}, &engine, &node, &attrs};
  auto fn = reinterpret_cast<OrvTagFunction>(function);
  return fn(&handle.element);
}

}  // namespace orv
