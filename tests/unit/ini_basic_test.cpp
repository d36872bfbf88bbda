#include "engine/ini.h"

#include <gtest/gtest.h>

#include "test_support.h"

namespace orv {

TEST(IniFile, ReadsGroupsAndKeysIgnoringCase) {
  IniFile ini = IniFile::parse("; comment\r\n[Setup]\r\nPath = c:\\app \r\nmode=fast\r\n[Other]\r\nk = v\r\n");
  EXPECT_EQ(ini.groups(), (std::vector<std::string>{"Setup", "Other"}));
  EXPECT_EQ(ini.get("SETUP", "path").value_or("?"), "c:\\app");
  EXPECT_EQ(ini.get("setup", "MODE").value_or("?"), "fast");
  EXPECT_FALSE(ini.get("setup", "k").has_value());
  EXPECT_EQ(ini.findGroup("other").value_or("?"), "Other");
}

TEST(IniFile, WritesKeepUntouchedLines) {
  IniFile ini = IniFile::parse("; keep me\n[Action]\nA  =  1\n\n[Misc]\nx = y\n");
  ini.set("action", "a", "2");
  ini.set("Action", "B", "5");
  ini.set("ActionDate", "B", "99");
  EXPECT_EQ(ini.serialize(),
            "; keep me\r\n[Action]\r\nA = 2\r\nB = 5\r\n\r\n[Misc]\r\nx = y\r\n[ActionDate]\r\nB = 99\r\n");
}

TEST(IniFile, KeepsTheUtf8MarkAndUsesTheAnsiPageOtherwise) {
  IniFile utf8 = IniFile::parse("\xEF\xBB\xBF\r\n[G]\r\nk = caf\xC3\xA9\r\n");
  EXPECT_TRUE(utf8.hasMark());
  EXPECT_EQ(utf8.get("G", "k").value_or("?"), "café");
  EXPECT_EQ(utf8.serialize(), "\xEF\xBB\xBF\r\n[G]\r\nk = caf\xC3\xA9\r\n");
  IniFile ansi = IniFile::parse("[G]\r\nk = caf\xE9\r\n");
  EXPECT_EQ(ansi.get("G", "k").value_or("?"), "café");
  EXPECT_EQ(ansi.serialize(), "[G]\r\nk = caf\xE9\r\n");
}

TEST(IniFile, SavesThroughAReplace) {
  test::TempDir dir;
  std::string path = dir.file("base.ini");
  IniFile ini = IniFile::parse("");
  ini.set("Action", "Setup", "3");
  ASSERT_TRUE(ini.save(path));
  EXPECT_EQ(test::slurp(path), "[Action]\r\nSetup = 3\r\n");
  EXPECT_EQ(IniFile::load(path)->get("action", "setup").value_or("?"), "3");
  EXPECT_FALSE(IniFile::load(dir.file("missing.ini")).has_value());
}

}  // namespace orv
