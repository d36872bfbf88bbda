#include "ui/window_settings.h"

#include "engine/text_util.h"

namespace orv::ui {

uint32_t parseColour(const std::string& text) {
  std::string digits;
  for (char c : text)
    if (c != '#' && c != '$') digits += c;
  if (digits.size() != 6 && digits.size() != 8) return kStandardColour;
  auto pair = [&](size_t i) { return static_cast<uint32_t>(numberValue("$" + digits.substr(i, 2)) & 0xFF); };
  uint32_t colour = pair(0) | pair(2) << 8 | pair(4) << 16;
  if (digits.size() == 8) colour |= pair(6) << 24;
  return colour;
}

AxisPosition parseAxis(const std::string& text) {
  if (text.empty() || text == "centred") return {};
  return {false, static_cast<int>(numberValue(text))};
}

int placeOnAxis(const AxisPosition& axis, int screenSize, int windowSize) {
  return axis.centred ? (screenSize - windowSize) / 2 : axis.value;
}

WindowLayout layoutFor(int logoWidth, int logoHeight) {
  WindowLayout layout;
  if (logoWidth <= 0 || logoHeight <= 0) return layout;
  layout.logoWidth = logoWidth;
  layout.logoHeight = logoHeight;
  layout.logoX = layout.width - logoWidth / 2 - layout.width / 2;
  layout.fullHeight = 385 + logoHeight;
  layout.reducedHeight = logoHeight + 115;
  layout.containerY = logoHeight + 1;
  layout.groupsY = logoHeight + 1 + 341;
  return layout;
}

bool levelShows(const std::string& displaylevel, int state) {
  std::string level = firstChars(displaylevel, 10);
  if (level.empty() || level == "allaction") return state < 11;
  if (level == "all") return true;
  if (level == "action") return state >= 1 && state <= 10;
  return false;
}

}  // namespace orv::ui
