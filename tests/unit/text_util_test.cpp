#include "engine/text_util.h"

#include <gtest/gtest.h>

namespace orv {

TEST(NumberValue, ReadsDecimalHexBinaryAndSign) {
  EXPECT_EQ(numberValue("42"), 42);
  EXPECT_EQ(numberValue("  \t-17abc"), -17);
  EXPECT_EQ(numberValue("+8"), 8);
  EXPECT_EQ(numberValue("$ff"), 255);
  EXPECT_EQ(numberValue("-$10"), -16);
  EXPECT_EQ(numberValue("%1011"), 11);
  EXPECT_EQ(numberValue("2.5"), 2);
}

TEST(NumberValue, NoDigitGivesZero) {
  EXPECT_EQ(numberValue(""), 0);
  EXPECT_EQ(numberValue("abc"), 0);
  EXPECT_EQ(numberValue("-"), 0);
  EXPECT_EQ(numberValue("$"), 0);
  EXPECT_EQ(numberValue(" x12"), 0);
}

TEST(NumberValue, WrapsLikeASigned64BitInteger) {
  EXPECT_EQ(numberValue("9223372036854775807"), INT64_MAX);
  EXPECT_EQ(numberValue("9223372036854775808"), INT64_MIN);
  EXPECT_EQ(numberValue("-9223372036854775808"), INT64_MIN);
  EXPECT_EQ(numberValue("$FFFFFFFFFFFFFFFF"), -1);
}

TEST(Saturating, HeldAtTheEndsOfTheRange) {
  bool held = true;
  EXPECT_EQ(saturatingMul(5, 1000, &held), 5000);
  EXPECT_FALSE(held);
  EXPECT_EQ(saturatingMul(INT64_MAX / 1000 + 1, 1000, &held), INT64_MAX);
  EXPECT_TRUE(held);
  EXPECT_EQ(saturatingMul(INT64_MIN, -1), INT64_MAX);
  EXPECT_EQ(saturatingMul(-9223372036854775807, 1024), INT64_MIN);
  EXPECT_EQ(saturatingAdd(INT64_MAX, 1, &held), INT64_MAX);
  EXPECT_TRUE(held);
  EXPECT_EQ(saturatingAdd(INT64_MIN, -86400), INT64_MIN);
  EXPECT_EQ(saturatingAdd(INT64_MIN, INT64_MAX, &held), -1);
  EXPECT_FALSE(held);
}

TEST(TextLimits, CountCharactersNotBytes) {
  EXPECT_EQ(firstChars("élève", 2), "él");
  EXPECT_EQ(firstChars("abc", 10), "abc");
  EXPECT_EQ(firstChars("€uro", 1), "€");
  // A byte limit never splits a character.
  EXPECT_EQ(firstBytes("a€", 2), "a");
  EXPECT_EQ(firstBytes("a€", 4), "a€");
  EXPECT_EQ(firstBytes("abc", 2), "ab");
}

TEST(ReplaceAll, DoesNotRescanInsertedText) {
  EXPECT_EQ(replaceAll("#a##a#", "#a#", "#a#x"), "#a#x#a#x");
  EXPECT_EQ(replaceAll("xAbx", "ab", "-", true), "x-x");
  EXPECT_EQ(replaceAll("xAbx", "ab", "-", false), "xAbx");
  EXPECT_EQ(replaceAll("aaa", "", "b"), "aaa");
}

}  // namespace orv
