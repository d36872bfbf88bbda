// Encoding a Picture as a picture file: BMP written directly, PNG through
// libpng, JPEG through libjpeg-turbo. Pictures are treated as opaque: the
// files hold no alpha channel.
#pragma once
#include <cstdint>
#include <string>

#include "platform/os_error.h"
#include "platform/picture.h"

namespace orv {

enum class ImageFormat { Bmp, Png, Jpeg };

// Largest side and pixel count the encoders accept (JPEG allows 65500 per
// side; the pixel count bounds the memory a picture and its file take).
constexpr int kMaxEncodedSide = 65500;
constexpr int64_t kMaxEncodedPixels = 64LL * 1024 * 1024;

// The JPEG encoder's quality (1..100) for a ratio of 0 (smallest file) to 10
// (best quality): ten steps of ten, 0 and below giving 1, 10 and above 100.
int jpegQualityOfRatio(int64_t ratio);

// Encodes picture in format (quality 1..100 for JPEG, ignored otherwise)
// into bytes. False when the picture is invalid or too large, or when the
// library fails; error then names the call and the library's message.
bool encodePicture(const Picture& picture, ImageFormat format, int quality, std::string& bytes,
                   sys::OsError& error);

// Encodes picture and writes it to path (a new or truncated file). False,
// with error filled, when encoding or writing failed; no partial file is left.
bool writePicture(const std::string& path, const Picture& picture, ImageFormat format, int quality,
                  sys::OsError& error);

}  // namespace orv
