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
// The view for registry work on a machine: 1 when the run bypasses
// redirection and the machine is 64-bit, else 0.
int runRegistryView(const Engine& engine, const std::string& machine);

}  // namespace orv
