// The SHORTCUT directive: a shortcut file to a program or document.
#pragma once
#include <cstdint>

namespace orv {

struct Engine;
class DirectiveNode;
class AttributeMap;

// Body of SHORTCUT: 1 when the shortcut file exists afterwards, else 0.
int64_t runShortcut(Engine& engine, const DirectiveNode& node, const AttributeMap& attrs);

}  // namespace orv
