#include "engine/expand.h"

#include <gtest/gtest.h>

#include "engine/clock.h"
#include "engine/engine.h"
#include "engine/text_util.h"
#include "platform/files.h"
#include "platform/system.h"
#include "test_support.h"

namespace orv {

class Expansion : public ::testing::Test {
 protected:
  void SetUp() override {
    clock::setForTesting([] { return sys::LocalTime{2024, 3, 9, 7, 5, 3}; });
    sys::setEnv("ORV_EXPAND_TEST", "envvalue");
  }
  void TearDown() override { clock::setForTesting(nullptr); }
  Engine engine;
};

TEST_F(Expansion, DateBuiltinsAndSeparators) {
  EXPECT_EQ(expandText("c:\\logs\\#yyyy##m##d#.log", "#"), "c:\\logs\\20240309.log");
  EXPECT_EQ(expandText("%yyyy%-#h#", "#"), "%yyyy%-07");
  EXPECT_EQ(expandText("%yyyy%-#h#", "#,%"), "2024-07");
  EXPECT_EQ(expandText("#y##mi##s#", ""), "240503");
}

TEST_F(Expansion, StartupFormIsCaseSensitiveForBuiltinsOnly) {
  EXPECT_EQ(expandText("#version# #VERSION# #Version#", "#"), "2.5 2.5 #Version#");
  EXPECT_EQ(expandText("%orv_expand_test% %ORV_EXPAND_TEST%", "%"), "envvalue envvalue");
  std::string name = replaceAll(fs::filePart(sys::selfPath()), ".exe", "");
  EXPECT_EQ(expandText("#programname#", "#"), name);
  EXPECT_EQ(expandText("#PROGRAMNAME#", "#"), toUpper(name));
  EXPECT_EQ(expandText("#D#-#M#", "#"), "09-03");
}

TEST_F(Expansion, StartupFormKeepsTheSpellingOfFolders) {
  // An upper-cased folder is another folder where case matters.
  test::TempDir dir;
  std::string lower = dir.file("mixedCase");
  fs::createDirectories(lower);
  std::string cwd = sys::currentDir();
  ASSERT_TRUE(sys::setCurrentDir(lower));
  std::string upper = expandText("#CURRENTDIR#", "#");
  std::string exact = expandText("#currentdir#", "#");
  sys::setCurrentDir(cwd);
  EXPECT_EQ(upper, exact);
  EXPECT_TRUE(fs::dirExists(upper));
}

TEST_F(Expansion, EnvironmentWinsOverBuiltins) {
  sys::setEnv("d", "fromenv");
  EXPECT_EQ(expandText("#d#", "#"), "fromenv");
  EXPECT_EQ(expandAttribute(engine, "#D#"), "fromenv");
  sys::setEnv("d", "");
}

TEST_F(Expansion, AttributeFormVersionIsNotABuiltin) {
  EXPECT_EQ(expandAttribute(engine, "#version# #OXLANE_VERSION#"), "#version# 5.12");
  EXPECT_EQ(expandAttribute(engine, "#Home#"), expandAttribute(engine, "#home#"));
}

TEST_F(Expansion, StoreUpperCaseReferenceNeedsTheExactOne) {
  engine.results.exec["setup"] = 3010;
  EXPECT_EQ(expandAttribute(engine, "code=#setup#"), "code=3010");
  EXPECT_EQ(expandAttribute(engine, "code=#SETUP#"), "code=#SETUP#");
  engine.results.dialogs["answer"] = DialogAnswer{"yes", 3};
  EXPECT_EQ(expandAttribute(engine, "#answer# #ANSWER#"), "yes YES");
  engine.results.actionStates["Setup"] = -2;
  EXPECT_EQ(expandAttribute(engine, "#Setup#"), "-2");
  EXPECT_EQ(expandAttribute(engine, "#Setup#", {.actionStates = false}), "#Setup#");
}

TEST_F(Expansion, MemosMatchExactOrUpperCaseIndependently) {
  engine.memos.set("ab", "Text");
  EXPECT_EQ(expandAttribute(engine, "#ab#/#AB#"), "Text/Text");
  EXPECT_EQ(expandAttribute(engine, "#AB#"), "Text");
  engine.memos.setBlock("file", "whole file");
  EXPECT_EQ(engine.memos.find("file")->kind, kMemoBlock);
  EXPECT_EQ(expandAttribute(engine, "[#file#]"), "[whole file]");
}

TEST_F(Expansion, TimestampIsWrittenAtEachExpansion) {
  expandAttribute(engine, "x");
  ASSERT_NE(engine.memos.find("_timestamp_"), nullptr);
  EXPECT_EQ(engine.memos.find("_timestamp_")->value, "1709967903");
  EXPECT_EQ(expandAttribute(engine, "#_timestamp_#"), "1709967903");
}

TEST_F(Expansion, UnknownReferencesStay) {
  EXPECT_EQ(expandAttribute(engine, "#nobody# ## # %d%"), "#nobody# ## # %d%");
  EXPECT_EQ(expandAttribute(engine, "%d%", {.separators = "#,%"}), "09");
}

TEST_F(Expansion, ExtraTableAndExactCaseOptions) {
  ExpansionOptions exact;
  EXPECT_EQ(expandVariables("#name# #NAME#", {{"name", "v"}}, exact), "v #NAME#");
  ExpansionOptions loose;
  loose.caseSensitive = false;
  EXPECT_EQ(expandVariables("#name# #NAME#", {{"name", "v"}}, loose), "v v");
  ExpansionOptions noTable;
  noTable.useExtraTable = false;
  EXPECT_EQ(expandVariables("#name#", {{"name", "v"}}, noTable), "#name#");
}

}  // namespace orv
