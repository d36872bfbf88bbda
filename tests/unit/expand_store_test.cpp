// Expansion against large stores, chaining between sources, and its bounds.
#include <gtest/gtest.h>

#include "engine/clock.h"
#include "engine/document.h"
#include "engine/engine.h"
#include "engine/expand.h"
#include "engine/interpreter.h"
#include "platform/system.h"
#include "test_support.h"

namespace orv {

class ExpansionStores : public ::testing::Test {
 protected:
  void SetUp() override {
    clock::setForTesting([] { return sys::LocalTime{2024, 3, 9, 7, 5, 3}; });
  }
  void TearDown() override { clock::setForTesting(nullptr); }
  Engine engine;
};

TEST_F(ExpansionStores, LargeStoresGiveTheSameResults) {
  for (int i = 0; i < 10000; ++i) engine.memos.set("memo" + std::to_string(i), "v" + std::to_string(i));
  for (int i = 0; i < 10000; ++i) engine.results.exec["run" + std::to_string(i)] = i;
  EXPECT_EQ(expandAttribute(engine, "#memo0#-#MEMO9999#-#memo10000#"), "v0-v9999-#memo10000#");
  EXPECT_EQ(expandAttribute(engine, "#run42# #RUN42# #RUN43#"), "42 42 #RUN43#");
  // Upper-case forms follow removals and the name order among equal upper-case names.
  engine.memos.set("Ab", "first");
  engine.memos.set("ab", "second");
  EXPECT_EQ(expandAttribute(engine, "#AB#"), "first");
  engine.memos.remove("Ab");
  EXPECT_EQ(expandAttribute(engine, "#AB#"), "second");
  engine.memos.remove("ab");
  EXPECT_EQ(expandAttribute(engine, "#AB#"), "#AB#");
}

TEST_F(ExpansionStores, LaterSourcesExpandWhatMemosInsert) {
  sys::setEnv("ORV_CHAIN_TEST", "fromenv");
  engine.memos.set("toenv", "[%ORV_CHAIN_TEST%]");
  engine.memos.set("toenvhash", "[#orv_chain_test#]");
  engine.memos.set("tobuiltin", "#yyyy#-#d#");
  EXPECT_EQ(expandAttribute(engine, "#toenv#", {.separators = "#,%"}), "[fromenv]");
  EXPECT_EQ(expandAttribute(engine, "#toenvhash#"), "[fromenv]");
  EXPECT_EQ(expandAttribute(engine, "#tobuiltin#"), "2024-09");
  // The environment is read again once it has been changed.
  sys::setEnv("ORV_CHAIN_TEST", "changed");
  EXPECT_EQ(expandAttribute(engine, "#toenvhash#"), "[changed]");
  sys::setEnv("ORV_CHAIN_TEST", "");
}

TEST_F(ExpansionStores, MemosChainForwardInNameOrderAndStayBounded) {
  engine.memos.set("a", "#b#");
  engine.memos.set("b", "B");
  engine.memos.set("z", "#a#");
  EXPECT_EQ(expandAttribute(engine, "#a#/#b#"), "B/B");
  EXPECT_EQ(expandAttribute(engine, "#z#"), "#a#");  // a comes before z: not visited again
  // Each memo holds ten references to the next: the chain would grow to 10^10 copies.
  for (int i = 0; i < 10; ++i) {
    std::string refs;
    for (int k = 0; k < 10; ++k) refs += "#m" + std::to_string(i + 1) + "#";
    engine.memos.set("m" + std::to_string(i), refs);
  }
  EXPECT_LE(expandAttribute(engine, "#m0#").size(), kExpansionHardCap);
  EXPECT_EQ(engine.expansionOverflows, 1);
  EXPECT_EQ(expandAttribute(engine, "#m0#", {.limit = 8}), "#m1##m1#");
  EXPECT_EQ(engine.expansionOverflows, 1);
}

TEST_F(ExpansionStores, LimitStopsEarlyAndTheHardCapFailsTheDirective) {
  engine.memos.set("big", std::string(1000, 'x'));
  EXPECT_EQ(expandAttribute(engine, "#big##big#", {.limit = 10}), std::string(10, 'x'));
  EXPECT_EQ(engine.expansionOverflows, 0);
  engine.memos.set("mib", std::string(size_t{1} << 20, 'y'));
  std::string refs;
  for (int i = 0; i < 20; ++i) refs += "#mib#";
  std::string out = expandAttribute(engine, refs);
  EXPECT_LE(out.size(), kExpansionHardCap);
  EXPECT_EQ(engine.expansionOverflows, 1);
}

// The ten-memo chain run as directives: each MEMO expands the previous one
// tenfold until the cap stops it; the run ends, later MEMOs fail, nothing crashes.
TEST(ExpansionBound, TenfoldMemoChainRunsBounded) {
  test::TempDir dir;
  Engine engine;
  engine.runLog.path = dir.file("run.log");
  std::string xml = "<ORVANTIS><ACTION name='a'><MEMO type='internal' name='m9' value='0123456789'/>";
  for (int i = 8; i >= 0; --i) {
    std::string refs;
    for (int k = 0; k < 10; ++k) refs += "#m" + std::to_string(i + 1) + "#";
    xml += "<MEMO type='internal' name='m" + std::to_string(i) + "' value='" + refs + "'/>";
  }
  xml += "</ACTION></ORVANTIS>";
  auto doc = parseDocument(xml, "");
  ASSERT_EQ(doc->status, 0);
  const DirectiveNode& action = *doc->root->children[0];
  std::vector<int64_t> results;
  for (const DirectiveNode* memo : action.children)
    results.push_back(runEntry(engine, *findHandler("MEMO"), *memo));
  // m9 .. m3 fit (10^7 bytes); m2, m1 and m0 would exceed 16 MiB.
  EXPECT_EQ(results, (std::vector<int64_t>{1, 1, 1, 1, 1, 1, 1, 0, 0, 0}));
  EXPECT_EQ(engine.memos.find("m3")->value.size(), 10000000u);
  EXPECT_LE(engine.memos.find("m0")->value.size(), kExpansionHardCap);
  int errors = 0;
  for (const std::string& line : test::logLines(engine.runLog.path))
    errors += line.find("Expansion arrêtée : le texte dépasse 16 Mo") != std::string::npos;
  EXPECT_EQ(errors, 3);
}

}  // namespace orv
