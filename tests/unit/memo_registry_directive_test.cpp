// The MEMO loaders and the REGISTRY directive, run on parsed elements.
#include <gtest/gtest.h>

#include <random>

#include "engine/document.h"
#include "engine/engine.h"
#include "engine/interpreter.h"
#include "flow/memo_directive.h"
#include "flow/memo_loaders.h"
#include "engine/registry.h"
#include "sysops/registry_directive.h"
#include "test_support.h"

namespace orv {
namespace {

class Directives : public ::testing::Test {
 protected:
  void SetUp() override {
    engine_.runLog.path = dir_.file("run.log");
    key_ = "HKCU\\Software\\OrvantisTest\\d" + std::to_string(std::random_device{}());
  }
  void TearDown() override {
    RegistryPath p;
    parseRegistryPath(key_, p);
    deleteRegistryTree(p, 0);
  }
  // Runs one element through its handler.
  // Runs the element through its dispatch table row, as the interpreter would.
  int64_t run(const char* tag, const std::string& xml) {
    auto doc = parseDocument(xml, "");
    EXPECT_EQ(doc->status, 0) << xml;
    return runEntry(engine_, *findHandler(tag), *doc->root);
  }
  bool logged(const std::string& text) {
    for (const std::string& l : test::logLines(engine_.runLog.path))
      if (l.find(text) != std::string::npos) return true;
    return false;
  }
  std::string memo(const std::string& name) {
    const MemoEntry* e = engine_.memos.find(name);
    return e ? engine_.memos.textOf(*e) : "<none>";
  }

  test::TempDir dir_;
  test::PrivateRegistry registry_{dir_};
  std::string key_;
  Engine engine_;
};

TEST(TextLines, EveryLineEndCounts) {
  EXPECT_EQ(splitTextLines("a\r\nb\nc\rd"), (std::vector<std::string>{"a", "b", "c", "d"}));
  EXPECT_EQ(splitTextLines(std::string("\xEF\xBB\xBFx\0y\n\n", 8)), (std::vector<std::string>{"x", "y", ""}));
  EXPECT_TRUE(splitTextLines("").empty());
}

TEST_F(Directives, FileMemosHoldALineOrTheWholeFile) {
  test::spit(dir_.file("f.txt"), "one\r\ntwo\r\n");
  EXPECT_EQ(loadFileIntoMemo(engine_, dir_.file("f.txt"), "", "all"), 1);
  EXPECT_EQ(engine_.memos.find("all")->kind, kMemoBlock);
  EXPECT_EQ(memo("all"), "one\r\ntwo\r\n");
  EXPECT_EQ(loadFileIntoMemo(engine_, dir_.file("f.txt"), "5,2", "line"), 1);
  EXPECT_EQ(memo("line"), "two");
  EXPECT_EQ(loadFileIntoMemo(engine_, dir_.file("f.txt"), "12", "line"), 1);
  EXPECT_EQ(memo("line"), "") << "line 12 of 2 does not exist, and 12 is not 1 or 2";
  EXPECT_EQ(loadFileIntoMemo(engine_, dir_.file("missing.txt"), "", "m"), 0);
  EXPECT_TRUE(logged("Impossible d'ouvrir le fichier."));
}

TEST_F(Directives, WholeIniFilesExpandAndLaterGroupsWin) {
  engine_.memos.set("y", "why");
  test::spit(dir_.file("v.ini"), "[A]\r\nk = first\r\nr = #y#\r\n[B]\r\nk = second\r\n");
  EXPECT_EQ(loadIniIntoMemos(engine_, {.path = dir_.file("v.ini")}), 1);
  EXPECT_EQ(memo("k"), "second");
  EXPECT_EQ(memo("r"), "why");
  EXPECT_EQ(engine_.memos.find("r")->kind, kMemoIni);
  EXPECT_EQ(loadIniIntoMemos(engine_, {.path = dir_.file("v.ini"), .group = "a", .key = "r"}), 1);
  EXPECT_EQ(memo("r"), "#y#") << "a single key is stored as read";
  EXPECT_EQ(loadIniIntoMemos(engine_, {.path = dir_.file("nope.ini")}), 0);
}

TEST_F(Directives, RegistryFailuresAreErrorsNeverControlCodes) {
  std::string del = "<REGISTRY mode=\"del\" location=\"" + key_ + "\" valuename=\"gone\"/>";
  EXPECT_EQ(run("REGISTRY", del), 0) << "a missing key is an error, not 'not taken'";
  std::string add =
      "<REGISTRY mode=\"Add\" location=\"" + key_ + "\" valuename=\"v\" value=\"7\" type=\"REG_DWORD\"/>";
  EXPECT_EQ(run("REGISTRY", add), 1);
  EXPECT_EQ(run("REGISTRY", del), 0) << "a missing value too";
  EXPECT_TRUE(logged("Erreur système de la base de registre : 2"));
  EXPECT_EQ(run("REGISTRY", "<REGISTRY mode=\"delkey\" location=\"HKCU\\\"/>"), 0);
  EXPECT_EQ(run("REGISTRY", "<REGISTRY mode=\"other\" location=\"" + key_ + "\"/>"), 0);
  std::string read = "<MEMO type=\"registry\" location=\"" + key_ + "\\v\" name=\"r\"/>";
  EXPECT_EQ(run("MEMO", read), 1);
  EXPECT_EQ(memo("r"), "7");
}

TEST_F(Directives, MemoTypesAndParameters) {
  engine_.params["user"] = "bob";
  EXPECT_EQ(run("MEMO", "<MEMO type=\"PARAMETERS\" value=\"user\" name=\"who\"/>"), 1);
  EXPECT_EQ(memo("who"), "bob");
  EXPECT_EQ(engine_.memos.find("who")->kind, kMemoParameter);
  EXPECT_EQ(run("MEMO", "<MEMO type=\"parameters\" value=\"\" name=\"w\"/>"), 0);
  EXPECT_EQ(run("MEMO", "<MEMO type=\"nothing\"/>"), 0);
  EXPECT_EQ(run("MEMO", "<MEMO type=\"internal\" name=\"i\" value=\"#who#!\" blocktagerror=\"ignore\"/>"), -1)
      << "ignore makes every outcome -1";
  EXPECT_EQ(memo("i"), "bob!");
}

}  // namespace
}  // namespace orv
