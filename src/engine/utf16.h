// UTF-8 <-> UTF-16 for texts exchanged with plug-ins and libraries.
#pragma once
#include <string>
#include <string_view>

#include "platform/utf8.h"

namespace orv {

// UTF-8 to UTF-16; a malformed sequence becomes U+FFFD.
std::u16string utf8ToUtf16(std::string_view text);
// The UTF-16 text at units up to its first NUL, reading at most max units.
std::u16string boundedUtf16(const char16_t* units, size_t max);

}  // namespace orv
