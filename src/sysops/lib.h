// The LIB directive: call one exported function of a library with typed
// parameters, record its return value, check it against accepted values.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace orv {

struct Engine;
class DirectiveNode;
class AttributeMap;

// Handler of LIB.
int64_t runLib(Engine& engine, const DirectiveNode& node, const AttributeMap& attrs);

// A parameter block as the called function receives it (through a pointer):
// a 64-bit integer, a double, a float or NUL-terminated text. Stored in
// 8-byte words so that every kind is aligned.
struct LibParameter {
  std::vector<uint64_t> words;
  void* data() { return words.data(); }
};
// The block for one parameter of the given type and raw value; false when the
// type is none of string, integer, quad, double, float (compared exactly).
// Numbers for double and float are decimal with "." as the mark (blanks and
// a sign first, an exponent allowed); text that does not fit reads 0.
bool makeLibParameter(const std::string& type, const std::string& value, LibParameter& out);

}  // namespace orv
