#include "engine/interpreter.h"

#include <gtest/gtest.h>

#include "engine/document.h"
#include "engine/engine.h"
#include "test_support.h"

namespace orv {

// Runs a document whose directives are plug-in tags returning fixed codes:
// R1 -> 1, R0 -> 0, RM1 -> -1, RM2 -> -2, RM3 -> -3, RM5 -> -5; each call is recorded.
class Walk : public ::testing::Test {
 protected:
  void SetUp() override {
    engine.runLog.path = dir.file("run.log");
    auto add = [this](const char* tag, int64_t code) {
      engine.pluginTags[tag] = [this, tag, code](Engine&, const DirectiveNode&) {
        calls.push_back(tag);
        return code;
      };
    };
    add("R1", 1), add("R0", 0), add("RM1", -1), add("RM2", -2), add("RM3", -3), add("RM5", -5);
  }
  int64_t run(const std::string& body) {
    doc = parseDocument("<ORVANTIS>" + body + "</ORVANTIS>", "");
    EXPECT_EQ(doc->status, 0);
    return interpretNode(engine, *doc->root);
  }
  bool logged(const std::string& line) { return test::logHas(engine.runLog.path, line); }
  test::TempDir dir;
  Engine engine;
  std::unique_ptr<ParsedDocument> doc;
  std::vector<std::string> calls;
};

TEST_F(Walk, AFailureStopsTheWalkAndMarksTheRun) {
  EXPECT_EQ(run("<R1/><R0><R1/></R0><R1/>"), 0);
  EXPECT_EQ(calls, (std::vector<std::string>{"R1", "R0"}));
  EXPECT_EQ(engine.run.exitCode, -994);
  EXPECT_TRUE(logged("X-> R0 en erreur."));
}

TEST_F(Walk, IgnoredErrorsWalkChildren) {
  EXPECT_EQ(run("<RM1><R1/></RM1><R1/>"), 1);
  EXPECT_EQ(calls, (std::vector<std::string>{"RM1", "R1", "R1"}));
  EXPECT_EQ(engine.run.exitCode, 0);
}

TEST_F(Walk, NotTakenSkipsChildrenAndStaysForTheParent) {
  EXPECT_EQ(run("<R1><RM2><R1/></RM2><R1/></R1>"), -2);
  EXPECT_EQ(calls, (std::vector<std::string>{"R1", "RM2", "R1"}));
  EXPECT_TRUE(logged("--> RM2 non pris en compte ou déja effectuée."));
}

TEST_F(Walk, ForcedEndStopsTheWalk) {
  EXPECT_EQ(run("<R1><RM5/><R1/></R1><R1/>"), -5);
  EXPECT_EQ(calls, (std::vector<std::string>{"R1", "RM5"}));
  EXPECT_TRUE(logged("--> RM5 fin forcé de l'action courante."));
}

TEST_F(Walk, StopRequestIsLoggedAndTheWalkGoesOn) {
  EXPECT_EQ(run("<RM3><R1/></RM3><R1/>"), 1);
  EXPECT_EQ(calls, (std::vector<std::string>{"RM3", "R1"}));
  EXPECT_TRUE(logged("--> RM3 fin des opérations."));
}

TEST_F(Walk, UnknownTagFailsAndCommentsFollowTheSwitch) {
  EXPECT_EQ(run("<!--hidden--><ACTIONS/><R1/>"), 0);
  EXPECT_TRUE(logged("--> Balise non reconnu ! : ACTIONS"));
  EXPECT_TRUE(logged("X-> ACTIONS en erreur."));
  EXPECT_FALSE(logged("hidden"));
  engine.switches.logComments = true;
  calls.clear();
  EXPECT_EQ(run("<!--shown--><R1/>"), 1);
  EXPECT_TRUE(logged("shown"));
}

TEST_F(Walk, OtherNodeKindsAreReportedAndSkipped) {
  EXPECT_EQ(run("<![CDATA[x]]><R1/>"), 1);
  EXPECT_TRUE(logged("X-> [INTERNE] : Erreur dans la reconaissance de la balise !"));
  EXPECT_EQ(calls, std::vector<std::string>{"R1"});
}

TEST_F(Walk, TagsCompareOnTheirFirstTwentyCharacters) {
  engine.pluginTags["ABCDEFGHIJKLMNOPQRST"] = [this](Engine&, const DirectiveNode&) {
    calls.push_back("long");
    return int64_t{1};
  };
  EXPECT_EQ(run("<ABCDEFGHIJKLMNOPQRSTUVW/>"), 1);
  EXPECT_EQ(calls, std::vector<std::string>{"long"});
}

TEST_F(Walk, NestingLevelReturnsAfterEachElement) {
  run("<R1><R1><R1/></R1></R1>");
  // Root's own step raises the level once; everything else is balanced.
  EXPECT_EQ(engine.runLog.nestingLevel, 1);
}

TEST_F(Walk, TooDeepElementsFailInsteadOfOverflowing) {
  engine.maxDepth = 5;
  std::string body = "<R1><R1><R1><R1><R1/></R1></R1></R1></R1>";
  EXPECT_EQ(run(body), 0);
  EXPECT_EQ(calls.size(), 3u);  // depths 3, 4 and 5
  EXPECT_TRUE(logged("Profondeur maximale d'imbrication atteinte (5)"));
  EXPECT_EQ(engine.run.exitCode, -994);
}

}  // namespace orv
