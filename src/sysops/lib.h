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
bool makeLibParameter(const std::string& type, const std::string& value, LibParameter& out);
// The decimal floating-point reading of a text: leading blanks skipped, an
// optional sign, digits with an optional "." fraction and exponent; 0 when
// nothing fits.
double decimalValue(const std::string& text);

}  // namespace orv
