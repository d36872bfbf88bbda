// Small text rules shared by every subsystem.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/utf8.h"

namespace orv {

// The number value of a text: blanks and tabs skipped, optional sign, then
// "$"+hex, "%"+binary or decimal digits, up to the first character that does
// not fit; no digit gives 0. Wraps like a signed 64-bit integer.
int64_t numberValue(std::string_view text);

// ASCII lower/upper case (keywords, names and switches are ASCII).
std::string toLower(std::string_view text);
std::string toUpper(std::string_view text);
bool equalsNoCase(std::string_view a, std::string_view b);

// The first n characters (UTF-8 code points) of text; never splits a character.
std::string firstChars(std::string_view text, size_t n);
// The longest prefix of at most n bytes that does not split a UTF-8 character.
std::string firstBytes(std::string_view text, size_t n);

// Replaces every occurrence of from by to, left to right, without rescanning
// the inserted text. With ignoreCase, from is matched without regard to ASCII case.
std::string replaceAll(std::string_view text, std::string_view from, std::string_view to,
                       bool ignoreCase = false);
// Position of needle in text from pos, optionally ignoring ASCII case.
size_t find(std::string_view text, std::string_view needle, bool ignoreCase, size_t pos = 0);

// a + b and a × b, held at the nearest end of the signed 64-bit range
// instead of overflowing; saturated (when given) tells whether that happened.
int64_t saturatingAdd(int64_t a, int64_t b, bool* saturated = nullptr);
int64_t saturatingMul(int64_t a, int64_t b, bool* saturated = nullptr);

// The text with the password of every URL's user info ("scheme://user:pass@")
// replaced by "***", so that logs never show it.
std::string maskUrlPasswords(std::string_view text);

// Decimal text of a signed 64-bit value.
std::string decimal(int64_t value);

}  // namespace orv
