// The library-backed decoders behind readPicture (libjpeg-turbo, OpenJPEG);
// PNG is readPng in image_read.h. Each returns false on any damage.
#pragma once
#include <cstddef>
#include <cstdint>

#include "platform/picture.h"

namespace orv::image {

// Largest side and largest pixel count a decoder accepts: a damaged or hostile
// header must not make the program reserve gigabytes.
constexpr int kMaxSide = 16384;
constexpr int64_t kMaxPixels = 16LL * 1024 * 1024;

// True when width x height is a size the decoders accept.
inline bool acceptableSize(int64_t width, int64_t height) {
  return width > 0 && height > 0 && width <= kMaxSide && height <= kMaxSide && width * height <= kMaxPixels;
}

// Sizes out for width x height pixels (all transparent black).
void allocate(Picture& out, int width, int height);

// Decodes a JPEG (JFIF, EXIF, Adobe CMYK) picture.
bool readJpeg(const uint8_t* data, size_t size, Picture& out);
// Decodes a JPEG 2000 picture: a JP2 file when jp2 is true, else a bare codestream.
bool readJpeg2000(const uint8_t* data, size_t size, bool jp2, Picture& out);

}  // namespace orv::image
