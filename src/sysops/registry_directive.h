// The REGISTRY directive: adds or deletes values, deletes key trees.
#pragma once
#include <cstdint>
#include <string>

namespace orv {

struct Engine;
class DirectiveNode;
class AttributeMap;

// The REGISTRY handler; 1, or the registry layer's failure value, through the policy.
int64_t runRegistryDirective(Engine& engine, const DirectiveNode& node, const AttributeMap& attrs);
}  // namespace orv
