// CHECK run through its dispatch row: the gate, the dispatch by type, the
// lines it logs, and the stored-result conditions with their list rules.
#include <gtest/gtest.h>

#include "conditions/check.h"
#include "conditions/stored_conditions.h"
#include "engine/document.h"
#include "engine/engine.h"
#include "engine/interpreter.h"
#include "test_support.h"

namespace orv {

class Check : public ::testing::Test {
 protected:
  void SetUp() override { engine.runLog.path = dir.file("run.log"); }
  int64_t run(const std::string& attrs) {
    auto doc = parseDocument("<ORVANTIS><CHECK " + attrs + "/></ORVANTIS>", "");
    EXPECT_EQ(doc->status, 0) << attrs;
    int64_t r = runEntry(engine, *findHandler("CHECK"), *doc->root->children[0]);
    lines = test::logLines(engine.runLog.path);
    return r;
  }
  bool logged(const std::string& line) {
    for (const std::string& l : lines)
      if (l.find(line) != std::string::npos) return true;
    return false;
  }
  test::TempDir dir;
  Engine engine;
  std::vector<std::string> lines;
};

TEST_F(Check, GateOfEveryPolicyOnTrueAndFalseConditions) {
  engine.params["p"] = "x";
  struct Case {
    const char* blocktag;
    int64_t ifTrue, ifFalse;
  };
  const Case cases[] = {
      {"", 1, -2},  {"pie", 1, -2}, {"PNE", -2, 1}, {"block", -2, 1},   {"signalerror", 1, -3},
      {"2", 1, -3}, {"1", -2, 1},   {"7", 1, 0},    {"whatever", 1, -2}};
  for (const Case& c : cases) {
    std::string tag = std::string(" blocktag=\"") + c.blocktag + "\"";
    EXPECT_EQ(run("type=\"parameter\" name=\"p\"" + tag), c.ifTrue) << c.blocktag;
    EXPECT_EQ(run("type=\"parameter\" name=\"q\"" + tag), c.ifFalse) << c.blocktag;
  }
  EXPECT_TRUE(
      logged("X-> Erreur interne de la fonction ! La condition de passage ne fonctionne pas correctement."));
}

TEST_F(Check, SkipAndRunLinesFollowTheResult) {
  engine.params["p"] = "x";
  EXPECT_EQ(run("type=\"parameter\" name=\"p\" blocktag=\"block\""), -2);
  EXPECT_EQ(lines.back(), "Les sous-directives ne seront pas executées");
  EXPECT_EQ(run("type=\"parameter\" name=\"p\""), 1);
  EXPECT_EQ(lines.back(), "Les sous-directives vont être executées");
  EXPECT_EQ(run("type=\"parameter\" name=\"q\" blocktag=\"signalerror\""), -3);
  EXPECT_EQ(lines.back(), "\tLe paramètre q n'a pas été trouvé.");
}

TEST_F(Check, UnknownOrMissingTypeIsAFalseCondition) {
  EXPECT_EQ(run("type=\"nothing\""), -2);
  EXPECT_TRUE(logged("X-> L'attribut type n'est pas spécifié ou n'est pas remplis correctement."));
  EXPECT_EQ(run("value=\"1\" blocktag=\"block\""), 1);
  EXPECT_EQ(run("type=\"\" blocktag=\"signalerror\""), -3);
}

TEST_F(Check, ElementWithoutAttributesIsSkippedNotFailed) {
  auto doc = parseDocument("<ORVANTIS><CHECK/></ORVANTIS>", "");
  EXPECT_EQ(runEntry(engine, *findHandler("CHECK"), *doc->root->children[0]), -2);
}

TEST_F(Check, TypeAndModeAreReadInAnyCaseAndValuesAreCut) {
  engine.memos.set("m", "abc");
  EXPECT_EQ(run("TYPE=\"Memo\" name=\"m\" value=\"ab\" mode=\"CONT\""), 1);
  engine.memos.set("long", std::string(1024, 'a'));
  EXPECT_EQ(run("type=\"memo\" name=\"long\" value=\"" + std::string(1030, 'a') + "\""), 1);
}

TEST_F(Check, InterpreterTurnsSkipIntoSuccessAndStopIntoError) {
  auto doc = parseDocument(
      "<ORVANTIS><ACTION name=\"A\"><CHECK type=\"parameter\" name=\"none\"><LOG text=\"x\"/></CHECK>"
      "<CHECK type=\"parameter\" name=\"none\" blocktag=\"signalerror\"/></ACTION></ORVANTIS>",
      "");
  const DirectiveNode& action = *doc->root->children[0];
  EXPECT_EQ(interpretNode(engine, *action.children[0]), 1);
  EXPECT_EQ(interpretNode(engine, *action.children[1]), 0);
  lines = test::logLines(engine.runLog.path);
  EXPECT_TRUE(logged("CHECK non pris en compte ou déja effectuée."));
  EXPECT_TRUE(logged("CHECK fin des opérations."));
  EXPECT_FALSE(logged("/LOG"));
}

TEST_F(Check, ExecCodesEqualAndDifferentWithListRules) {
  engine.results.exec["setup"] = 3010;
  EXPECT_EQ(run("type=\"exec\" name=\"setup\" value=\"0,3010\""), 1);
  EXPECT_TRUE(logged("Le code retour est égale à celui demandé."));
  EXPECT_EQ(run("type=\"exec\" name=\"setup\" value=\"0,3010\" mode=\"dif\""), -2);
  EXPECT_TRUE(logged("Code retour identique à celui spécifiée dans la liste."));
  EXPECT_EQ(run("type=\"exec\" name=\"setup\" value=\",,5,\" mode=\"dif\""), 1);
  EXPECT_EQ(run("type=\"exec\" name=\"setup\" value=\",,3010,\""), 1);
  EXPECT_EQ(run("type=\"exec\" name=\"other\" value=\"0\""), -2);
  EXPECT_TRUE(logged("La directive exec other n'a pas été trouvé."));
  EXPECT_EQ(run("type=\"exec\" name=\"setup\""), -2);
  EXPECT_TRUE(logged("X-> Il manque des paramètres pour executer la vérification."));
  // LIB results are a store of their own.
  EXPECT_EQ(run("type=\"lib\" name=\"setup\" value=\"3010\""), -2);
  engine.results.lib["setup"] = 7;
  EXPECT_EQ(run("type=\"lib\" name=\"setup\" value=\"7\""), 1);
}

TEST_F(Check, ActionStates) {
  engine.results.actionStates["late"] = -2;
  EXPECT_EQ(run("type=\"action\" name=\"late\" value=\"IGNORED\""), 1);
  EXPECT_TRUE(logged("Code à vérifier : IGNORED (-2)"));
  EXPECT_EQ(run("type=\"action\" name=\"late\" value=\"true\" mode=\"dif\""), 1);
  EXPECT_EQ(run("type=\"action\" name=\"late\" value=\"true\""), -2);
  EXPECT_EQ(run("type=\"action\" name=\"nobody\" value=\"true\""), -2);
  EXPECT_TRUE(logged("L'action nobody n'a pas été trouvé dans les codes retours."));
}

TEST_F(Check, MemoAndParameterComparisons) {
  engine.memos.set("empty", "");
  engine.memos.set("v", "xabx");
  EXPECT_EQ(run("type=\"memo\" name=\"empty\""), 1);             // no value attribute: presence
  EXPECT_EQ(run("type=\"memo\" name=\"empty\" value=\"\""), 1);  // one empty item
  EXPECT_EQ(run("type=\"memo\" name=\"v\" value=\"\""), -2);
  EXPECT_EQ(run("type=\"memo\" name=\"v\" value=\"a,xabx\" mode=\"dif\""), -2);
  EXPECT_TRUE(logged("La valeur du mémo est différente."));
  EXPECT_EQ(run("type=\"memo\" name=\"v\" value=\"a,b\" mode=\"dif\""), 1);
  EXPECT_TRUE(logged("Valeur à vérifier : a,b,"));
  engine.params["s"] = "xabx";
  EXPECT_EQ(run("type=\"parameter\" name=\"s\" value=\"ab,zz\" mode=\"cont\""), 1);
  EXPECT_TRUE(logged("La valeur du paramètre contient la chaine."));
  EXPECT_EQ(run("type=\"parameter\" name=\"s\" value=\"\""), 1);
  EXPECT_TRUE(logged("Le paramètre est présent."));
  EXPECT_EQ(run("type=\"parameter\" name=\"s\" value=\"XABX\""), -2);  // case-sensitive
  EXPECT_EQ(run("type=\"memo\" value=\"x\""), -2);
  EXPECT_TRUE(logged("X-> Il manque des paramètres pour executer la vérification."));
}

TEST_F(Check, MsgboxAnswers) {
  engine.results.dialogs["ask"] = {"6", 3};
  EXPECT_EQ(run("type=\"msgbox\" name=\"ask\" value=\"YES\""), 1);
  EXPECT_TRUE(logged("Retour de MSGBOX : Yes"));
  EXPECT_EQ(run("type=\"msgbox\" name=\"ask\" value=\"no\" mode=\"dif\""), 1);
  EXPECT_EQ(run("type=\"msgbox\" name=\"ask\" value=\"6\" mode=\"dif\""), -2);
  EXPECT_EQ(run("type=\"msgbox\" name=\"nobody\" value=\"ok\""), -2);
  EXPECT_TRUE(logged("Le MSGBOX nobody n'a pas été trouvé ou non démarré."));
}

TEST(ValueLists, CommasAtTheEndsAndEmptyItems) {
  std::string text;
  EXPECT_EQ(valueList(",,a,,b,", &text), (std::vector<std::string>{"a", "", "b"}));
  EXPECT_EQ(text, "a,,b,");
  EXPECT_EQ(valueList(""), (std::vector<std::string>{""}));
  EXPECT_EQ(valueList(",,,"), (std::vector<std::string>{""}));
  EXPECT_EQ(commaItems("win_7,"), (std::vector<std::string>{"win_7", ""}));
  EXPECT_TRUE(commaItems("").empty());
}

TEST(AnswerCodes, WordsNumbersAndNames) {
  EXPECT_EQ(answerCode("Continue"), 11);
  EXPECT_EQ(answerCode("retry"), 10);
  EXPECT_EQ(answerCode("300"), 44);  // cut to 8 bits
  EXPECT_EQ(answerCode("maybe"), 0);
  EXPECT_EQ(answerName(2), "Cancel");
  EXPECT_EQ(answerName(3), "-");
  EXPECT_EQ(actionStateCode("FALSE"), 0);
  EXPECT_EQ(actionStateCode("True"), 1);
}

}  // namespace orv
