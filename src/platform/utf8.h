// The program's one UTF-8 decoder and its one case-folding table.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace orv {

// The replacement character returned for a malformed sequence.
constexpr char32_t kReplacementChar = 0xFFFD;

// Decodes the character at pos and moves pos past it. A malformed sequence
// (stray continuation, truncated, overlong, surrogate, above U+10FFFF) consumes
// exactly one byte, returns U+FFFD and sets *valid to false (when given), so a
// caller may treat that byte as itself. pos must be < text.size().
char32_t decodeUtf8(std::string_view text, size_t& pos, bool* valid = nullptr);

// True when every byte of text belongs to a well-formed UTF-8 character.
bool isValidUtf8(std::string_view text);

// Appends the UTF-8 encoding of a code point.
void appendUtf8(std::string& out, uint32_t codePoint);

// What a UTF-16 conversion does with a byte that is not UTF-8.
enum class InvalidUtf8 { Replace, Latin1 };

// The UTF-16 code units of a UTF-8 text; a malformed byte becomes U+FFFD or
// the Latin-1 character of the same value, as asked.
std::u16string toUtf16(std::string_view text, InvalidUtf8 rule);

// The UTF-8 text of UTF-16 code units; an unpaired surrogate becomes U+FFFD.
std::string utf16ToUtf8(std::u16string_view text);

// The upper case of a code point, as Windows compares names (Latin-1,
// Latin Extended-A, Greek, Cyrillic); other code points are returned as they are.
char32_t foldUpper(char32_t c);

// Text folded to upper case character by character; bytes that are not
// UTF-8 pass through unchanged.
std::string foldUpper(std::string_view text);

}  // namespace orv
