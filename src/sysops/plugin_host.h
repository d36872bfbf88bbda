// The element handle given to plug-in tag functions: the host function table
// of include/orvantis/plugin.h, served from the engine.
#pragma once
#include <cstdint>
#include <string>

namespace orv {

struct Engine;
class DirectiveNode;
class AttributeMap;

// Calls a tag function with a handle on node (valid for the call only); returns what it returned.
intptr_t callTagFunction(Engine& engine, const DirectiveNode& node, const AttributeMap& attrs,
                         void* function);
// Copies text into a buffer of capacity units (NUL included, never splitting
// a UTF-8 character); returns the text's whole length in bytes.
int64_t copyUtf8(const std::string& text, char* buffer, size_t capacity);
// The same for UTF-16 (never splitting a surrogate pair); the length in units.
int64_t copyUtf16(const std::u16string& text, char16_t* buffer, size_t capacity);
// A plug-in's level token made safe: LVL, ERR, WRN or ATT (or nothing), then
// an optional "+" or "-" and at most two digits; anything else gives "+1".
std::string safeLevel(const char* level);

}  // namespace orv
