// The period rule: texts such as "d:1,h:-2" read as a number of seconds.
#pragma once
#include <cstdint>
#include <string>

namespace orv {

struct Engine;

// Seconds per count of a lower-case period unit ("d" 86400); -1 for an unknown unit.
int64_t periodUnitSeconds(const std::string& unit);
// Seconds of a period text ("unit:count" entries separated by commas, units
// y o w d h m s, case-insensitive); 0 when malformed, saturated at the ends
// of the range on absurd counts.
int64_t parsePeriod(Engine& engine, const std::string& period);

}  // namespace orv
