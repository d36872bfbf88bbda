// No notification area is driven outside Windows: the owner window cannot be
// made, so every tray directive takes its failure path.
#include "platform/tray.h"

namespace orv::tray {

bool ensureOwner() { return false; }
int64_t addIcon(const IconSource&) { return 0; }
bool setTooltip(int64_t, const std::string&) { return false; }
bool removeIcon(int64_t) { return false; }
bool showBalloon(int64_t, const std::string&, const std::string&, int) { return false; }

}  // namespace orv::tray
