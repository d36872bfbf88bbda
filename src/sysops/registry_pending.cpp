// Until the registry backends exist, no machine is known to be 64-bit.
#include "sysops/registry.h"

namespace orv {

bool isMachine64Bit(const std::string&) { return false; }

}  // namespace orv
