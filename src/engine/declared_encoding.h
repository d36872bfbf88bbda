// The encoding a directive file's XML declaration names, checked against its bytes.
#pragma once
#include <string>
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

// The same answer for a file read in blocks, so that a large file is scanned
// without being held whole. The declaration is looked for in the first block.
class DeclaredUtf8Scan {
 public:
  // Takes the next block; false once the answer is known and reading may stop.
  bool feed(std::string_view block);
  // The answer for the blocks fed, valid once the last one was.
  DeclaredUtf8 result() const;

 private:
  bool started_ = false;
  DeclaredUtf8 answer_ = DeclaredUtf8::No;
  std::string carry_;  // the start of a character cut by the end of a block
};

}  // namespace orv
