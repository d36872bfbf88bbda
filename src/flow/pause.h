// The PAUSE directive: waits for a period.
#pragma once
#include <cstdint>

namespace orv {

struct Engine;
class DirectiveNode;

int64_t runPause(Engine& engine, const DirectiveNode& node);

}  // namespace orv
