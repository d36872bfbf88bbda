#include <algorithm>

#include "platform/screen.h"

namespace orv::screen {

bool plausibleRect(const Rect& rect) {
  if (rect.width <= 0 || rect.height <= 0 || rect.width > kMaxCaptureSide || rect.height > kMaxCaptureSide)
    return false;
  if (rect.width * rect.height > kMaxCapturePixels) return false;
  // Sizes are small here, so a negative edge plus its size cannot overflow.
  return !(rect.left < 0 && rect.left + rect.width <= 0) && !(rect.top < 0 && rect.top + rect.height <= 0);
}

bool planCapture(int screenWidth, int screenHeight, const Rect& rect, CapturePlan& plan) {
  if (!plausibleRect(rect)) return false;
  // Past the right or bottom edge: nothing to copy (and no overflow below).
  if (rect.left >= screenWidth || rect.top >= screenHeight) return false;
  int64_t x0 = std::max<int64_t>(rect.left, 0), y0 = std::max<int64_t>(rect.top, 0);
  int64_t x1 = std::min<int64_t>(rect.left + rect.width, screenWidth);
  int64_t y1 = std::min<int64_t>(rect.top + rect.height, screenHeight);
  if (x1 <= x0 || y1 <= y0) return false;
  plan.width = static_cast<int>(rect.width);
  plan.height = static_cast<int>(rect.height);
  plan.srcX = static_cast<int>(x0);
  plan.srcY = static_cast<int>(y0);
  plan.dstX = static_cast<int>(x0 - rect.left);
  plan.dstY = static_cast<int>(y0 - rect.top);
  plan.copyWidth = static_cast<int>(x1 - x0);
  plan.copyHeight = static_cast<int>(y1 - y0);
  return true;
}

}  // namespace orv::screen
