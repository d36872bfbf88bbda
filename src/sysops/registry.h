// Registry access layer (interface grows with the registry backends).
#pragma once
#include <string>

namespace orv {

// True when the machine ("." for the local one) is a 64-bit system.
bool isMachine64Bit(const std::string& machine);

}  // namespace orv
