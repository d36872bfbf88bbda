// The WAIT directive: polls a condition until it is met or a time-out passes.
#pragma once
#include <cstdint>

namespace orv {

struct Engine;
class DirectiveNode;

// What the blocktag policy makes of a wait's outcome.
struct WaitDecision {
  int64_t result = 0;          // 1 run the children, -2 skip them, -3 / 0 count an error
  bool internalError = false;  // the policy is none of 0, 1, 2: its error line is due
};

// The decision table: policy 0 (pie), 1 (block, pne), 2 (signalerror) or
// another number, and whether the condition was met. A result of 0 under
// policy 0 or 1 is already turned into -2 (skipped, not an error).
WaitDecision decideWait(int8_t policy, bool met);

// The WAIT element: its own frame (the blocktag policy, not blocktagerror).
int64_t runWait(Engine& engine, const DirectiveNode& node);

}  // namespace orv
