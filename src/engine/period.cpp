#include "engine/period.h"
#include "engine/engine.h"
#include "engine/text_util.h"

namespace orv {

int64_t periodUnitSeconds(const std::string& unit) {
  static const struct {
    const char* name;
    int64_t seconds;
  } kUnits[] = {{"y", 31556926}, {"o", 2629743}, {"w", 604800}, {"d", 86400},
                {"h", 3600},     {"m", 60},      {"s", 1}};
  for (const auto& u : kUnits)
    if (unit == u.name) return u.seconds;
  return -1;
}

int64_t parsePeriod(Engine& engine, const std::string& period) {
  int64_t total = 0;  // held at the end of the range on absurd counts
  size_t start = 0;
  for (;;) {
    size_t comma = period.find(',', start);
    std::string entry = period.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
    size_t colon = entry.find(':');
    std::string unit = toLower(entry.substr(0, colon));
    std::string countText;
    if (colon != std::string::npos) {
      size_t second = entry.find(':', colon + 1);
      countText =
          entry.substr(colon + 1, second == std::string::npos ? std::string::npos : second - colon - 1);
    }
    int64_t seconds = periodUnitSeconds(unit);
    if (seconds < 0) {
      engine.log("Impossible de localiser indice de période dans le champ => " + entry, "ATT");
      engine.log("Indice inconnu => " + unit, "ATT");
    } else {
      total = saturatingAdd(total, saturatingMul(numberValue(countText), seconds));
    }
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  engine.log("La période de temp entre deux activation est évalué à " + decimal(total) + " secondes.", "");
  return total;
}

}  // namespace orv
