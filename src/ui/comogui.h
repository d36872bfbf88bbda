// The COMOGUI directive: declares a command the person at the machine starts
// from the progress window's command box.
#pragma once
#include <cstdint>

namespace orv {

struct Engine;
class DirectiveNode;
class AttributeMap;

// Body of COMOGUI (inside the common directive frame).
int64_t runComogui(Engine& engine, const DirectiveNode& node, const AttributeMap& attrs);

}  // namespace orv
