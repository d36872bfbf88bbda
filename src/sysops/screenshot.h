// The SCREENSHOT directive: a picture of the primary screen, or of a
// rectangle of it, saved as a BMP, PNG or JPEG file. Its lines name it CATCH.
#pragma once
#include <cstdint>

namespace orv {

struct Engine;
class DirectiveNode;

// The whole element in its frame: 1 when the picture file was written, else 0
// (before the error policy).
int64_t runScreenshot(Engine& engine, const DirectiveNode& node);

}  // namespace orv
