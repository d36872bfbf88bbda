// A picture in memory, as the image readers decode it and screen capture
// produces it: top-down rows, four bytes per pixel in the order blue, green,
// red, alpha (straight alpha) — the layout of a 32-bit Windows DIB section, so
// the Windows side hands the buffer to GDI without converting it.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace orv {

struct Picture {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> bgra;  // width * height * 4 bytes

  // True when the sizes are positive and the buffer holds every pixel.
  bool valid() const {
    return width > 0 && height > 0 && bgra.size() == static_cast<size_t>(width) * height * 4;
  }
};

}  // namespace orv
