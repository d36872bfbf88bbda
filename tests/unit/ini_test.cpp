// The INI facility: reading, writing back, encodings and locked updates.
#include <gtest/gtest.h>

#include <thread>

#include "engine/ini.h"
#include "platform/files.h"
#include "test_support.h"

namespace orv {
namespace {

TEST(IniFile, ReadsGroupsAndKeysIgnoringCase) {
  IniFile ini = IniFile::parse("; comment\r\n[Setup]\r\nPath = C:\\x\r\n  Name=Bob  \r\n[other]\nk = v\n");
  EXPECT_EQ(ini.groups(), (std::vector<std::string>{"Setup", "other"}));
  EXPECT_EQ(ini.get("SETUP", "path").value_or("?"), "C:\\x");
  EXPECT_EQ(ini.get("setup", "NAME").value_or("?"), "Bob");
  EXPECT_EQ(ini.get("Other", "k").value_or("?"), "v");
  EXPECT_FALSE(ini.get("Setup", "k"));
  EXPECT_FALSE(ini.findGroup("nothing"));
  EXPECT_EQ(*ini.findGroup("OTHER"), "other");
}

TEST(IniFile, WritingKeepsUntouchedLinesAndUsesCrLf) {
  IniFile ini = IniFile::parse("; keep me\n[Action]\nA =  1 \n\n[ActionDate]\nA = 5\n");
  ini.set("action", "a", "3");
  ini.set("Action", "B", "-2");
  ini.set("New", "X", "y");
  EXPECT_EQ(ini.serialize(),
            "; keep me\r\n[Action]\r\nA = 3\r\nB = -2\r\n\r\n[ActionDate]\r\nA = 5\r\n[New]\r\nX = y\r\n");
  IniFile again = IniFile::parse(ini.serialize());
  EXPECT_EQ(again.serialize(), ini.serialize()) << "a written file reads back the same";
  EXPECT_EQ(again.get("Action", "B").value_or("?"), "-2");
}

TEST(IniFile, LineBreaksInNamesAndValuesCannotForgeLines) {
  // An action named with a line break must not add a group or key of its own.
  IniFile ini = IniFile::parse("[Action]\r\nA = 1\r\n");
  ini.set("Action", "x\n[Action]\r\nA", "9\nB = 2");
  EXPECT_EQ(ini.serialize(), "[Action]\r\nA = 1\r\nx [Action]  A = 9 B = 2\r\n");
  IniFile again = IniFile::parse(ini.serialize());
  EXPECT_EQ(again.get("Action", "A").value_or("?"), "1");
  EXPECT_FALSE(again.get("Action", "B"));
  EXPECT_EQ(again.get("Action", "x\n[Action]\r\nA").value_or("?"), "9 B = 2")
      << "read back under the same name";
  EXPECT_EQ(again.serialize(), ini.serialize());
}

TEST(IniFile, Utf8MarkIsKeptAndAnsiIsTheDefault) {
  IniFile marked = IniFile::parse("\xEF\xBB\xBF\r\n[G]\r\nnom = \xC3\xA9t\xC3\xA9\r\n");
  EXPECT_TRUE(marked.hasMark());
  EXPECT_EQ(marked.get("G", "nom").value_or("?"), "\xC3\xA9t\xC3\xA9");
  marked.set("G", "b", "\xE2\x82\xAC");
  EXPECT_EQ(marked.serialize(), "\xEF\xBB\xBF\r\n[G]\r\nnom = \xC3\xA9t\xC3\xA9\r\nb = \xE2\x82\xAC\r\n");
  IniFile ansi = IniFile::parse("[G]\r\nnom = \xE9t\xE9\r\n");
  EXPECT_FALSE(ansi.hasMark());
  EXPECT_EQ(ansi.get("G", "nom").value_or("?"), "\xC3\xA9t\xC3\xA9") << "read as UTF-8 inside";
  ansi.set("G", "euro", "\xE2\x82\xAC");
  EXPECT_EQ(ansi.serialize(), "[G]\r\nnom = \xE9t\xE9\r\neuro = \x80\r\n");
  IniFile odd = IniFile::parse("[G]\r\nraw = \x81\x8D\x9D\r\n");
  odd.set("G", "new", "1");
  EXPECT_EQ(odd.serialize(), "[G]\r\nraw = \x81\x8D\x9D\r\nnew = 1\r\n") << "unassigned bytes kept";
  IniFile empty = IniFile::parse("");
  empty.set("Action", "Setup", "3");
  EXPECT_EQ(empty.serialize(), "[Action]\r\nSetup = 3\r\n");
}

TEST(IniFile, SaveReplacesTheFileWhole) {
  test::TempDir dir;
  std::string path = dir.file("base.ini");
  test::spit(path, "[Action]\r\nOld = 1\r\n");
  IniFile ini = *IniFile::load(path);
  ini.set("Action", "New", "2");
  ASSERT_TRUE(ini.save(path));
  EXPECT_EQ(test::slurp(path), "[Action]\r\nOld = 1\r\nNew = 2\r\n");
  EXPECT_FALSE(fs::pathExists(path + ".tmp"));
  EXPECT_FALSE(IniFile::load(dir.file("missing.ini")).has_value());
  EXPECT_FALSE(IniFile::update(dir.file("missing.ini"), [](IniFile& f) { f.set("a", "b", "c"); }))
      << "a file that cannot be read is not written";
  EXPECT_FALSE(fs::fileExists(dir.file("missing.ini")));
}

TEST(IniFile, ConcurrentUpdatesNeverLoseEachOther) {
  test::TempDir dir;
  std::string path = dir.file("shared.ini");
  test::spit(path, "");
  std::vector<std::thread> writers;
  for (int t = 0; t < 4; ++t)
    writers.emplace_back([&, t] {
      for (int i = 0; i < 25; ++i)
        IniFile::update(path, [&](IniFile& f) {
          f.set("Action", "t" + std::to_string(t) + "_" + std::to_string(i), "1");
        });
    });
  for (std::thread& w : writers) w.join();
  IniFile ini = *IniFile::load(path);
  EXPECT_EQ(ini.entries("Action").size(), 100u);
}

}  // namespace
}  // namespace orv
