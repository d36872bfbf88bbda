// The program-wide 64-bit switches.
#pragma once

namespace orv {

struct Engine;

// At start-up on an AMD64 system: disables file-system redirection and
// selects the 64-bit registry view. Messages go to the start-up journal.
void applyStartupSwitches(Engine& engine);
// Keeps file-system redirection disabled; called at every node visit.
void guardFsRedirection(Engine& engine);

}  // namespace orv
