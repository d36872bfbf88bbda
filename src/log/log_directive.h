// The LOG directive: stop/start, move, size limits and a line of its own.
#pragma once
#include <cstdint>

namespace orv {

struct Engine;
class DirectiveNode;

int64_t runLogDirective(Engine& engine, const DirectiveNode& node);

}  // namespace orv
