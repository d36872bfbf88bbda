// Decoding picture files (BMP, ICO, PNG, JPEG, JPEG 2000) into a Picture.
// The format is recognised by the content, never by the file name.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/picture.h"

namespace orv {

// Decodes the picture file at path. False when nothing exists there, when it
// is a folder, when it is too large or when its content is not a picture that
// decodes; out is then left empty.
bool readPicture(const std::string& path, Picture& out);

// Decodes a picture held in memory, of any of the formats above.
bool decodePicture(const uint8_t* data, size_t size, Picture& out);

// Decodes a PNG picture held in memory (the program's own pictures).
bool readPng(const uint8_t* data, size_t size, Picture& out);

}  // namespace orv
