#include "engine/directive.h"

#include <gtest/gtest.h>

#include "engine/document.h"
#include "engine/engine.h"
#include "test_support.h"

namespace orv {

TEST(Policy, KeywordTables) {
  EXPECT_EQ(parsePolicy("IGNORE", PolicyTable::BlockTagError), -1);
  EXPECT_EQ(parsePolicy("block", PolicyTable::BlockTagError), 1);
  EXPECT_EQ(parsePolicy("inherit", PolicyTable::BlockTagError), 0);
  EXPECT_EQ(parsePolicy("pne", PolicyTable::BlockTagError), 0);
  EXPECT_EQ(parsePolicy("PNE", PolicyTable::BlockTag), 1);
  EXPECT_EQ(parsePolicy("signalerror", PolicyTable::BlockTag), 2);
  EXPECT_EQ(parsePolicy("ignore", PolicyTable::BlockTag), 0);
  EXPECT_EQ(parsePolicy("300", PolicyTable::BlockTagError), 44);
  EXPECT_EQ(parsePolicy("255", PolicyTable::BlockTagError), -1);
  EXPECT_EQ(parsePolicy("", PolicyTable::BlockTagError), 0);
  EXPECT_EQ(parsePolicy("nonsense", PolicyTable::BlockTagError), 0);
}

TEST(Policy, IsTrue) {
  EXPECT_TRUE(isTrue("TrUe"));
  EXPECT_FALSE(isTrue("1"));
  EXPECT_FALSE(isTrue("yes"));
  EXPECT_FALSE(isTrue(""));
  EXPECT_FALSE(isTrue(" true"));
}

class PolicyLog : public ::testing::Test {
 protected:
  void SetUp() override { engine.runLog.path = dir.file("run.log"); }
  std::vector<std::string> lines() { return test::logLines(engine.runLog.path); }
  test::TempDir dir;
  Engine engine;
};

TEST_F(PolicyLog, OwnCodeWinsAndIgnoreTurnsEverythingIntoMinusOne) {
  EXPECT_EQ(applyErrorPolicy(engine, -1, 0), -1);
  EXPECT_EQ(applyErrorPolicy(engine, -1, -5), -1);
  EXPECT_EQ(applyErrorPolicy(engine, 1, 0), 0);
  EXPECT_EQ(applyErrorPolicy(engine, 2, 0), 0);
  EXPECT_EQ(applyErrorPolicy(engine, 0, 1), 1);
  EXPECT_EQ(lines(), (std::vector<std::string>{"\tBlockTagError : On ignore le retour d'erreur passage à -1.",
                                               "\tBlockTagError : On ignore le retour d'erreur passage à -1.",
                                               "\tBlockTagError : Bloquage si erreur."}));
}

TEST_F(PolicyLog, InheritsFromTheActionThenTheRoot) {
  engine.root.blockTagErrorCode = 1;
  EXPECT_EQ(applyErrorPolicy(engine, 0, 0), 0);
  engine.action.blockTagErrorCode = -1;
  EXPECT_EQ(applyErrorPolicy(engine, 0, 1), -1);
  // A code of its own (2) is not replaced by the fallbacks.
  EXPECT_EQ(applyErrorPolicy(engine, 2, 0), 0);
  EXPECT_EQ(lines(),
            (std::vector<std::string>{"\tBlockTagError : Paramètre hérité de la racine.",
                                      "\tBlockTagError : Bloquage si erreur.",
                                      "\tBlockTagError : Paramètre hérité de l'action.",
                                      "\tBlockTagError : On ignore le retour d'erreur passage à -1."}));
}

TEST_F(PolicyLog, AttributesAreLowerCasedAndLogged) {
  auto doc = parseDocument("<R><COPY Location='a' BlockTagError='x'/></R>", "");
  const DirectiveNode& copy = *doc->root->children[0];
  AttributeMap attrs;
  EXPECT_EQ(loadAttributes(engine, copy, attrs), 2u);
  EXPECT_EQ(attrs.get("location"), "a");
  EXPECT_EQ(attrs.get("absent"), "");
  EXPECT_EQ(lines(), (std::vector<std::string>{"\tChargement des paramètres de la directive :",
                                               "\t\tlocation => a", "\t\tblocktagerror => x"}));
  AttributeMap none;
  EXPECT_EQ(loadAttributes(engine, *doc->document, none), 0u);
  EXPECT_EQ(lines().back(), "\tX-> Impossible de récuperer les attributs de la balise");
}

}  // namespace orv
