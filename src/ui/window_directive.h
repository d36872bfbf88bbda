// WINDOW: creates, hides, shows and ends the progress window, and stores its settings.
#pragma once
#include <cstdint>

namespace orv {

struct Engine;
class DirectiveNode;

// The WINDOW element: a frame of its own, since its result always takes the
// inherited error policy (a blocktagerror attribute on it is not read).
int64_t runWindowDirective(Engine& engine, const DirectiveNode& node);

}  // namespace orv
