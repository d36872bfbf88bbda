#include "engine/utf16.h"

#include "engine/text_util.h"
#include "platform/utf8.h"

namespace orv {

std::u16string utf8ToUtf16(std::string_view text) { return toUtf16(text, InvalidUtf8::Replace); }

std::u16string boundedUtf16(const char16_t* units, size_t max) {
  size_t n = 0;
  while (n < max && units[n] != 0) ++n;
  return std::u16string(units, n);
}

}  // namespace orv
