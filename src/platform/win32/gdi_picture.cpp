#include "platform/win32/gdi_picture.h"

#include <cstring>
#include <vector>

namespace orv {

namespace {

// A DIB section of the picture's size; bits receives its pixel memory.
HBITMAP dibSection(int width, int height, void** bits) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // negative: rows run top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  HDC screen = GetDC(nullptr);
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, bits, nullptr, 0);
  ReleaseDC(nullptr, screen);
  return bitmap;
}

// The AND mask of an icon: a bit set where the picture is fully transparent.
HBITMAP iconMask(const Picture& picture) {
  int stride = ((picture.width + 15) / 16) * 2;  // monochrome rows are WORD-aligned
  std::vector<uint8_t> bits(static_cast<size_t>(stride) * picture.height, 0);
  for (int y = 0; y < picture.height; ++y)
    for (int x = 0; x < picture.width; ++x)
      if (picture.bgra[(static_cast<size_t>(y) * picture.width + x) * 4 + 3] == 0)
        bits[static_cast<size_t>(y) * stride + x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
  return CreateBitmap(picture.width, picture.height, 1, 1, bits.data());
}

}  // namespace

HBITMAP bitmapFromPicture(const Picture& picture) {
  if (!picture.valid()) return nullptr;
  void* bits = nullptr;
  HBITMAP bitmap = dibSection(picture.width, picture.height, &bits);
  if (bitmap == nullptr || bits == nullptr) {
    if (bitmap) DeleteObject(bitmap);
    return nullptr;
  }
  std::memcpy(bits, picture.bgra.data(), picture.bgra.size());
  GdiFlush();
  return bitmap;
}

HICON iconFromPicture(const Picture& picture) {
  HBITMAP colour = bitmapFromPicture(picture);
  if (colour == nullptr) return nullptr;
  HBITMAP mask = iconMask(picture);
  HICON icon = nullptr;
  if (mask != nullptr) {
    ICONINFO info{};
    info.fIcon = TRUE;
    info.hbmColor = colour;
    info.hbmMask = mask;
    icon = CreateIconIndirect(&info);
    DeleteObject(mask);
  }
  DeleteObject(colour);
  return icon;
}

}  // namespace orv
