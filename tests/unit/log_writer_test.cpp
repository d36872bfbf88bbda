#include "engine/log_writer.h"

#include <gtest/gtest.h>

#include "platform/files.h"
#include "test_support.h"

namespace orv {

static const sys::LocalTime kDate{2024, 3, 9, 7, 5, 3};

TEST(LevelTokens, PrefixAndIndentation) {
  struct Case {
    const char* token;
    int level;
    const char* prefix;
    int indent;
  };
  const Case cases[] = {
      {"NIV2", 5, "", 2},      {"ERR3", 5, "X-> ", 3},  {"ATT", 5, "", 0},       {"ERR", 0, "X-> ", 0},
      {"LVL+0", 4, "--> ", 4}, {"LVL+1", 4, "--> ", 5}, {"ERR+6", 1, "X-> ", 7}, {"+2", 3, "", 5},
      {"-1", 3, "", 2},        {"+LVL0", 3, "", 3},     {"", 7, "", 0},          {"wrn+1", 2, "!-> ", 3},
      {"lvl+0", 2, "--> ", 2}, {"ATT+5", -2, "", 3},
  };
  for (const Case& c : cases) {
    LevelStyle s = levelStyle(c.token, static_cast<int8_t>(c.level));
    EXPECT_EQ(s.prefix, c.prefix) << c.token;
    EXPECT_EQ(s.indent, c.indent) << c.token;
  }
}

TEST(DateMask, TokensInAnyCase) {
  EXPECT_EQ(formatDate("%dd/%mm/%yyyy %hh:%ii:%ss", kDate), "09/03/2024 07:05:03");
  EXPECT_EQ(formatDate("%YY-%Mm %x %", kDate), "24-03 %x %");
  EXPECT_EQ(formatDate("100%", kDate), "100%");
}

TEST(LogLine, Composition) {
  LogFileConfig c;
  c.nestingLevel = 2;
  EXPECT_EQ(composeLogLine(c, "boom", "ERR+1", kDate), "09/03/2024 07:05:03 : \t\t\tX-> boom");
  EXPECT_EQ(composeLogLine(c, "", "", kDate), "09/03/2024 07:05:03 : ");
  c.nestingLevel = 12;
  EXPECT_EQ(composeLogLine(c, "m", "+1", kDate), "09/03/2024 07:05:03 : " + std::string(10, '\t') + "m");
  c.nestingLevel = -3;
  EXPECT_EQ(composeLogLine(c, "m", "LVL+0", kDate), "09/03/2024 07:05:03 : --> m");
  LogFileConfig noDate;
  noDate.dateMask = "0";
  EXPECT_EQ(composeLogLine(noDate, "m", "NIV1", kDate), " : \tm");
}

TEST(LogLine, CutAt2048BytesOnACharacterBoundary) {
  LogFileConfig c;
  c.dateMask = "0";
  std::string line = composeLogLine(c, std::string(3000, 'a'), "", kDate);
  EXPECT_EQ(line.size(), 2048u);
  // " : " is 3 bytes; 2045 bytes remain, which would split the third "é".
  line = composeLogLine(c, std::string(2042, 'a') + "ééé", "", kDate);
  EXPECT_EQ(line, " : " + std::string(2042, 'a') + "é");
}

TEST(LogFile, AppendsLinesWithCrLf) {
  test::TempDir dir;
  LogFileConfig c;
  c.path = dir.file("run.log");
  EXPECT_EQ(writeLogLine(c, "one", "NIV1"), 1);
  EXPECT_EQ(writeLogLine(c, "two", "LVL+0"), 1);
  EXPECT_EQ(test::logLines(c.path), (std::vector<std::string>{"\tone", "--> two"}));
  EXPECT_NE(test::slurp(c.path).find("one\r\n"), std::string::npos);
  LogFileConfig none;
  EXPECT_EQ(writeLogLine(none, "lost", ""), 0);
  none.path = dir.file("missing/folder/run.log");
  EXPECT_EQ(writeLogLine(none, "lost", ""), 0);
}

TEST(LogFile, RotatesIntoNumberedArchivesThenStartsOver) {
  test::TempDir dir;
  LogFileConfig c;
  c.path = dir.file("journal.log");
  c.maxSize = 1;  // threshold 24 bytes: every line after the first rotates
  c.maxArchives = 2;
  writeLogLine(c, "first", "");
  writeLogLine(c, "second", "");
  EXPECT_EQ(test::logLines(dir.file("journal.1.log")), std::vector<std::string>{"first"});
  writeLogLine(c, "third", "");
  EXPECT_EQ(test::logLines(dir.file("journal.2.log")), std::vector<std::string>{"second"});
  writeLogLine(c, "fourth", "");  // both archive names taken: everything goes
  EXPECT_FALSE(fs::fileExists(dir.file("journal.1.log")));
  EXPECT_FALSE(fs::fileExists(dir.file("journal.2.log")));
  EXPECT_EQ(test::logLines(c.path), std::vector<std::string>{"fourth"});
  writeLogLine(c, "fifth", "");
  EXPECT_EQ(test::logLines(dir.file("journal.1.log")), std::vector<std::string>{"fourth"});
}

TEST(LogFile, RotationStaysBounded) {
  test::TempDir dir;
  LogFileConfig c;
  c.path = dir.file("run.log");
  c.maxSize = -1;  // no limit, like 0
  c.maxArchives = 1000000000000;
  for (int i = 0; i < 3; ++i) EXPECT_EQ(writeLogLine(c, "line", ""), 1);
  EXPECT_EQ(test::logLines(c.path).size(), 3u);
  EXPECT_FALSE(fs::pathExists(dir.file("run.1.log")));
  rotateLog(c);  // the file exists: archived
  EXPECT_TRUE(fs::pathExists(dir.file("run.1.log")));
  rotateLog(c);  // no file: nothing to rotate
  EXPECT_FALSE(fs::pathExists(dir.file("run.2.log")));
  // Every archive name up to the cap taken: the cleanup runs at the cap.
  for (int64_t i = 1; i <= kMaxLogArchives; ++i)
    test::spit(dir.file("run." + std::to_string(i) + ".log"), "x");
  test::spit(c.path, "full");
  rotateLog(c);
  EXPECT_FALSE(fs::pathExists(c.path));
  EXPECT_FALSE(fs::pathExists(dir.file("run.1.log")));
  EXPECT_FALSE(fs::pathExists(dir.file("run.1000.log")));
  // A limit too large to compute in bytes is no overflow, just a large limit.
  c.maxSize = INT64_MAX;
  EXPECT_EQ(writeLogLine(c, "after", ""), 1);
  EXPECT_EQ(test::logLines(c.path), std::vector<std::string>{"after"});
}

TEST(LogFile, RotationKeepsUnrelatedFilesAndHandlesNoExtension) {
  test::TempDir dir;
  test::spit(dir.file("journal-old.log"), "keep");
  LogFileConfig c;
  c.path = dir.file("journal.log");
  c.maxSize = 1;
  c.maxArchives = 1;
  for (int i = 0; i < 4; ++i) writeLogLine(c, "line", "");
  EXPECT_EQ(test::slurp(dir.file("journal-old.log")), "keep");
  LogFileConfig bare;
  bare.path = dir.file("journal");
  bare.maxSize = 1;
  bare.maxArchives = 3;
  writeLogLine(bare, "a", "");
  writeLogLine(bare, "b", "");
  EXPECT_EQ(test::logLines(dir.file("journal.1")), std::vector<std::string>{"a"});
  LogFileConfig wipe;
  wipe.path = dir.file("wipe.log");
  wipe.maxSize = 1;
  writeLogLine(wipe, "a", "");
  writeLogLine(wipe, "b", "");
  EXPECT_EQ(test::logLines(wipe.path), std::vector<std::string>{"b"});
}

}  // namespace orv
