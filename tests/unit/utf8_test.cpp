#include <gtest/gtest.h>

#include <string>

#include "engine/declared_encoding.h"
#include "platform/utf8.h"

using namespace orv;

namespace {

// Decodes all of text, a malformed byte given as 0x110000 + its value.
std::u32string decoded(std::string_view text) {
  std::u32string out;
  for (size_t pos = 0; pos < text.size();) {
    size_t start = pos;
    bool valid = true;
    char32_t cp = decodeUtf8(text, pos, &valid);
    out += valid ? cp : 0x110000 + static_cast<unsigned char>(text[start]);
  }
  return out;
}

}  // namespace

TEST(Utf8, DecodesEachLengthAndRejectsMalformedOneByteAtATime) {
  EXPECT_EQ(decoded("a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"), (std::u32string{'a', 0xE9, 0x20AC, 0x1F600}));
  // Overlong ";" (C0 BB): two invalid bytes, never a ";".
  EXPECT_EQ(decoded("\xC0\xBB"), (std::u32string{0x1100C0, 0x1100BB}));
  // Overlong three-byte form, surrogate, beyond U+10FFFF, truncated, stray continuation.
  EXPECT_EQ(decoded("\xE0\x80\xBB").size(), 3u);
  EXPECT_EQ(decoded("\xED\xA0\x80").size(), 3u);
  EXPECT_EQ(decoded("\xF4\x90\x80\x80").size(), 4u);
  EXPECT_EQ(decoded("\xE2\x82"), (std::u32string{0x1100E2, 0x110082}));
  EXPECT_EQ(decoded("\x80x"), (std::u32string{0x110080, 'x'}));
  size_t pos = 0;
  EXPECT_EQ(decodeUtf8("\xFF", pos), kReplacementChar);
  EXPECT_EQ(pos, 1u);
}

TEST(Utf8, ValidityPreScan) {
  EXPECT_TRUE(isValidUtf8(""));
  EXPECT_TRUE(
      isValidUtf8("Donn\xC3\xA9"
                  "es \xE2\x82\xAC"));
  EXPECT_FALSE(
      isValidUtf8("Donn\xE9"
                  "es"));                // Latin-1
  EXPECT_FALSE(isValidUtf8("abc\xC3"));  // cut at the end
}

// Plain ASCII is skipped eight bytes at a time: a bad byte or a character is
// found wherever it stands relative to those words.
TEST(Utf8, ValidityAtEveryPositionOfLongAsciiRuns) {
  for (size_t at = 0; at < 24; ++at) {
    std::string text(24, 'a');
    text.insert(at, "\xE9");
    EXPECT_FALSE(isValidUtf8(text)) << at;
    text.replace(at, 1, "\xC3\xA9");
    EXPECT_TRUE(isValidUtf8(text)) << at;
    text.erase(at + 1, 1);  // the lead byte alone, followed by ASCII
    EXPECT_FALSE(isValidUtf8(text)) << at;
  }
}

TEST(Utf8, FoldsLikeWindowsNamesAndKeepsInvalidBytes) {
  EXPECT_EQ(foldUpper("donn\xC3\xA9"
                      "es"),
            "DONN\xC3\x89"
            "ES");
  EXPECT_EQ(foldUpper(U'\xFF'), U'\x178');
  EXPECT_EQ(foldUpper(U'\x17E'), U'\x17D');  // z caron
  EXPECT_EQ(foldUpper(U'\x101'), U'\x100');
  // No upper case of their own: must not land on a neighbour.
  EXPECT_EQ(foldUpper(U'\x149'), U'\x149');
  EXPECT_EQ(foldUpper(U'\x17F'), U'\x17F');
  EXPECT_EQ(foldUpper(U'\xF7'), U'\xF7');
  EXPECT_EQ(foldUpper("a\xE9z"), "A\xE9Z");
}

TEST(Utf8, Utf16ConversionRules) {
  EXPECT_EQ(toUtf16("\xF0\x9F\x98\x80", InvalidUtf8::Replace), (std::u16string{0xD83D, 0xDE00}));
  EXPECT_EQ(toUtf16("a\xE9", InvalidUtf8::Replace), (std::u16string{'a', 0xFFFD}));
  EXPECT_EQ(toUtf16("a\xE9", InvalidUtf8::Latin1), (std::u16string{'a', 0xE9}));
}

// The file is scanned block by block: a character cut by a block's end is
// judged with the next block, and one cut by the end of the file is invalid.
TEST(DeclaredEncoding, ScanAcrossBlocksMatchesTheWholeText) {
  const std::string decl = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><a b=\"";
  auto scanned = [](const std::string& text, size_t cut) {
    DeclaredUtf8Scan scan;
    if (scan.feed(std::string_view(text).substr(0, cut))) scan.feed(std::string_view(text).substr(cut));
    return scan.result();
  };
  for (const std::string tail : {"\xC3\xA9\"/>", "\xE2\x82\xAC\"/>", "\xF0\x9F\x98\x80\"/>", "\xE9\"/>"}) {
    std::string text = decl + tail;
    for (size_t cut = decl.size(); cut <= text.size(); ++cut)
      EXPECT_EQ(scanned(text, cut), declaredUtf8(text)) << cut;
  }
  EXPECT_EQ(scanned(decl + "\xE2\x82", decl.size() + 1), DeclaredUtf8::Invalid);  // cut by the end
  EXPECT_EQ(scanned("<?xml version=\"1.0\"?><a b=\"\xE9\"/>", 10), DeclaredUtf8::No);
}

TEST(DeclaredEncoding, OnlyADeclarationNamingUtf8OverValidBytesReadsAsUtf8) {
  EXPECT_EQ(declaredUtf8("<?xml version=\"1.0\" encoding=\"UTF-8\"?><a b=\"\xC3\xA9\"/>"),
            DeclaredUtf8::Valid);
  EXPECT_EQ(declaredUtf8("<?xml version='1.0' encoding = 'utf-8' ?><a/>"), DeclaredUtf8::Valid);
  EXPECT_EQ(declaredUtf8("<?xml version=\"1.0\" encoding=\"UTF-8\"?><a b=\"\xE9\"/>"), DeclaredUtf8::Invalid);
  EXPECT_EQ(declaredUtf8("<?xml version=\"1.0\" encoding=\"windows-1252\"?><a/>"), DeclaredUtf8::No);
  EXPECT_EQ(declaredUtf8("<?xml version=\"1.0\"?><a encoding=\"UTF-8\"/>"), DeclaredUtf8::No);
  EXPECT_EQ(declaredUtf8("<a/><?xml version=\"1.0\" encoding=\"UTF-8\"?>"), DeclaredUtf8::No);
  EXPECT_EQ(declaredUtf8("<?xml version=\"1.0\" encoding=\"UTF-8"), DeclaredUtf8::No);
}
