// The PAUSE directive: waits for a period.
#pragma once
#include <cstdint>

namespace orv {

struct Engine;
class DirectiveNode;
class AttributeMap;

int64_t runPause(Engine& engine, const DirectiveNode& node, const AttributeMap& attrs);

}  // namespace orv
