// The picture decoders (BMP, ICO, PNG, JPEG, JPEG 2000) on arbitrary bytes:
// they must answer true with a whole picture or false, never crash or overrun.
#include <cstdlib>

#include "platform/image_read.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  orv::Picture picture;
  bool ok = orv::decodePicture(data, size, picture);
  if (ok != picture.valid()) std::abort();
  orv::readPng(data, size, picture);
  return 0;
}
