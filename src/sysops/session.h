// The SESSION directive: reboot, shut down, log off, lock, end the run, leave
// the action, or set the program's exit code.
#pragma once
#include <cstdint>

namespace orv {

struct Engine;
class DirectiveNode;
class AttributeMap;

// Handler of SESSION. The machine operations go through orv::session::sessionOps().
int64_t runSession(Engine& engine, const DirectiveNode& node, const AttributeMap& attrs);

}  // namespace orv
