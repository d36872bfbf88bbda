// Wildcard rules, with the answers Windows gives (FindFirstFileW for DELETE,
// PathMatchSpecW for COPY).
#include "platform/pattern.h"

#include <gtest/gtest.h>

namespace orv {

struct Case {
  const char* pattern;
  const char* name;
  bool match;
};

TEST(FindPattern, DotRulesOfTheEnumeration) {
  const Case cases[] = {
      {"*.*", "readme", true},    {"*.*", "a.b.c", true},     {"*", "readme", true},
      {"*.", "readme", true},     {"*.", "a.txt", false},     {"*.txt", "a.txt", true},
      {"*.txt", "a.b.txt", true}, {"*.txt", "a.txtx", false}, {"*.txt", "txt", false},
      {"*.tmp", "x.tmp", true},   {"*.tmp", "data", false},   {"a*", "ABC", true},
      {"*.LOG", "app.log", true}, {"É*", "été", true},        {"", "anything", true},
  };
  for (const Case& c : cases)
    EXPECT_EQ(matchFindPattern(c.name, c.pattern), c.match) << c.pattern << " vs " << c.name;
}

TEST(FindPattern, QuestionMarksMayMatchNothingBeforeADotOrAtTheEnd) {
  const Case cases[] = {
      {"a??", "a", true},           {"a??", "ab", true},          {"a??", "abc", true},
      {"a??", "abcd", false},       {"a?.txt", "a.txt", true},    {"a?.txt", "ab.txt", true},
      {"a?.txt", "abc.txt", false}, {"???", "ab.c", false},       {"file.?", "file", true},
      {"file.?", "file.c", true},   {"file.?", "file.cc", false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(matchFindPattern(c.name, c.pattern), c.match) << c.pattern << " vs " << c.name;
}

TEST(FindPattern, ATrailingDotMatchesTheEndOfTheName) {
  EXPECT_TRUE(matchFindPattern("readme", "readme."));
  EXPECT_FALSE(matchFindPattern("readme.txt", "readme."));
  EXPECT_TRUE(matchFindPattern("a.b", "a.b.*"));
  EXPECT_TRUE(matchFindPattern("a.b.c", "a.b.*"));
}

TEST(FileFilter, ShellRules) {
  const Case cases[] = {
      {"*.*", "readme", true},
      {"*.log", "app.LOG", true},
      {"*.log", "app.log.1", false},
      {"*.log", "log", false},
      {"a?c", "abc", true},
      {"a?c", "ac", false},
      {"*.log;*.txt", "a.txt", true},
      {"*.log; *.txt", "a.txt", true},
      {"*.log;*.txt", "a.ini", false},
      {"", "anything", true},
      {"*", "", true},
      {"x*y*z", "xaaayzz", true},
      {"x*y*z", "xaaay", false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(matchFileFilter(c.name, c.pattern), c.match) << c.pattern << " vs " << c.name;
}

TEST(FileFilter, InvalidBytesAreNeverSeparators) {
  // C0 BB is an overlong form of ";": two bytes standing for themselves.
  const std::string hidden =
      "x\xC0\xBB"
      "b";
  EXPECT_FALSE(matchFileFilter("b", hidden)) << "no second mask \"b\"";
  EXPECT_TRUE(matchFileFilter(hidden, hidden));
  EXPECT_FALSE(matchFileFilter("b",
                             "x\xE0\x80\xBB"
                             "b"))
      << "three-byte overlong form";
  EXPECT_FALSE(matchFindPattern("x", "x\xC0\xAA")) << "overlong \"*\" is no wildcard";
  EXPECT_TRUE(matchFileFilter("\xC3\xA9t\xC3\xA9.txt", "\xC3\x89T\xC3\x89.*")) << "valid text still folds";
}

TEST(FileFilter, ManyStarsStayFast) {
  std::string name(200, 'a');
  EXPECT_FALSE(matchFileFilter(name, "*a*a*a*a*a*a*a*a*a*a*a*a*b"));
  EXPECT_FALSE(matchFindPattern(name, "*a*a*a*a*a*a*a*a*a*a*a*a*b"));
}

}  // namespace orv
