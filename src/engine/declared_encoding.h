// The encoding a directive file's XML declaration names, checked against its bytes.
#pragma once
#include <string_view>

namespace orv {

enum class DeclaredUtf8 {
  No,       // no declaration, or one naming another encoding
  Valid,    // declares UTF-8 and every byte is well-formed UTF-8
  Invalid,  // declares UTF-8 but the bytes are not UTF-8 (a file saved as ANSI)
};

// Reads the XML declaration at the start of bytes (no byte-order mark) and,
// when it names UTF-8, checks the whole text in one pass.
DeclaredUtf8 declaredUtf8(std::string_view bytes);

}  // namespace orv
