// The dialog directives and the clipboard memo where no one can answer (the
// Linux build, or Windows without an interactive desktop): what is logged,
// what is stored and what the run gets back. Shown dialogs are driven on a
// real display by tests/gui/dialogs.sh.
#include <gtest/gtest.h>

#include "engine/document.h"
#include "engine/engine.h"
#include "engine/expand.h"
#include "engine/interpreter.h"
#include "platform/ask.h"
#include "test_support.h"
#include "ui/dialog_directives.h"

namespace orv {
namespace {

class Unattended : public ::testing::Test {
 protected:
  void SetUp() override {
    if (ask::interactiveDesktop()) GTEST_SKIP() << "a desktop is there: the dialogs would wait for someone";
    engine.runLog.path = dir.file("run.log");
  }
  int64_t run(const char* tag, const std::string& attrs) {
    auto doc = parseDocument(std::string("<ORVANTIS><") + tag + " " + attrs + "/></ORVANTIS>", "");
    EXPECT_EQ(doc->status, 0) << attrs;
    int64_t r = runEntry(engine, *findHandler(tag), *doc->root->children[0]);
    lines = test::logLines(dir.file("run.log"));
    return r;
  }
  const DialogAnswer* answer(const std::string& name) {
    auto it = engine.results.dialogs.find(name);
    return it == engine.results.dialogs.end() ? nullptr : &it->second;
  }
  test::TempDir dir;
  Engine engine;
  std::vector<std::string> lines;
};

TEST_F(Unattended, MessageBoxAnswersNothingAndTheRunGoesOn) {
  engine.memos.set("who", "setup");
  engine.results.dialogs["ask_setup"] = {"6", 3};
  EXPECT_EQ(run("MSGBOX", R"(title="Installer ?" name="ask_#who#" text="t" type="yesno" icontype="Warn")"),
            1);
  ASSERT_NE(answer("ask_setup"), nullptr) << "the name is expanded";
  EXPECT_EQ(answer("ask_setup")->text, "0") << "an earlier Yes must not survive an unanswered box";
  EXPECT_EQ(answer("ask_setup")->kind, 3);
  std::vector<std::string> tail(lines.end() - 3, lines.end());
  EXPECT_EQ(tail,
            (std::vector<std::string>{"\tAffichage d'une boite de message avec le titre Installer ?",
                                      "\t\t!-> Aucun bureau interactif : la fenêtre n'est pas affichée.",
                                      "\t\tRéponse : -"}));
  EXPECT_EQ(expandAttribute(engine, "[#ask_setup#]"), "[0]");
}

TEST_F(Unattended, MessageBoxWithoutAttributesFailsSilently) {
  EXPECT_EQ(run("MSGBOX", ""), 0);
  EXPECT_TRUE(engine.results.dialogs.empty());
  for (const std::string& line : lines)
    EXPECT_EQ(line.find("Erreur au chargement"), std::string::npos) << line;
}

TEST_F(Unattended, AskingDialogsStoreAnEmptyAnswerOfTheirKind) {
  struct Case {
    const char* tag;
    const char* attrs;
    uint8_t kind;
  };
  const Case cases[] = {{"INPUTBOX", R"(name="in" title="T" message="Nom ?" defaultvalue="abc")", 2},
                        {"FILEBOX", R"(name="file" defaultfile="x.txt")", 4},
                        {"PATHBOX", R"(name="path" defaultpath="C:\")", 5}};
  for (const Case& c : cases) {
    std::string name = c.kind == 2 ? "in" : c.kind == 4 ? "file" : "path";
    engine.results.dialogs[name] = {"earlier", 3};
    EXPECT_EQ(run(c.tag, c.attrs), 1) << c.tag;
    ASSERT_NE(answer(name), nullptr) << c.tag;
    EXPECT_EQ(answer(name)->text, "") << c.tag << ": not the default, nobody chose it";
    EXPECT_EQ(answer(name)->kind, c.kind) << c.tag;
    std::vector<std::string> tail(lines.end() - 3, lines.end());
    EXPECT_EQ(tail,
              (std::vector<std::string>{"\tAffichage de la fenêtre et attente du retour.",
                                        "\t\t!-> Aucun bureau interactif : la fenêtre n'est pas affichée.",
                                        "\t\tRetour utilisateur : "}))
        << c.tag;
  }
}

TEST_F(Unattended, AskingDialogsNeedANameAndAttributes) {
  for (const char* tag : {"INPUTBOX", "PATHBOX", "FILEBOX"}) {
    EXPECT_EQ(run(tag, R"(title="no name")"), 0) << tag;
    EXPECT_EQ(lines.back(), "\tX-> L'option name n'est pas renseigné.") << tag;
    EXPECT_EQ(run(tag, R"(name="" blocktagerror="ignore")"), -1) << tag << ": the policy still applies";
    EXPECT_EQ(run(tag, ""), 0) << tag;
    EXPECT_EQ(lines.back(), "Erreur au chargement des paramètres de la balise") << tag;
  }
  EXPECT_TRUE(engine.results.dialogs.empty());
}

TEST_F(Unattended, ClipboardMemoHoldsAnEmptyTextOfItsKind) {
  engine.memos.set("clip", "old", 0);
  EXPECT_EQ(run("MEMO", R"(type="Clipboard" name="clip")"), 1);
  const MemoEntry* memo = engine.memos.find("clip");
  ASSERT_NE(memo, nullptr);
  EXPECT_EQ(memo->value, "");
  EXPECT_EQ(memo->kind, kMemoClipboard);
  std::vector<std::string> tail(lines.end() - 3, lines.end());
  EXPECT_EQ(tail,
            (std::vector<std::string>{"\tRécupération du presse papier.",
                                      "\t\t!-> Aucun bureau interactif : le presse papier est lu comme vide.",
                                      "\t\tContenu de la valeur de base de registre : "}));
}

TEST(DialogText, MessageBoxStyleCombinesButtonsAndIcon) {
  EXPECT_EQ(messageBoxStyle("yesno", "warn"), 0x34u);
  EXPECT_EQ(messageBoxStyle("yesnocancel", "stop"), 0x13u);
  EXPECT_EQ(messageBoxStyle("ok", "question"), 0x20u);
  EXPECT_EQ(messageBoxStyle("", "notify"), 0x40u);
  EXPECT_EQ(messageBoxStyle("retrycancel", "error"), 0x0u) << "unknown words: one OK button, no icon";
}

TEST(DialogText, FolderAnswersLoseTrailingSeparators) {
  EXPECT_EQ(withoutTrailingSeparators("C:\\"), "C:");
  EXPECT_EQ(withoutTrailingSeparators("D:\\data\\\\"), "D:\\data");
  EXPECT_EQ(withoutTrailingSeparators("/srv/x//"), "/srv/x");
  EXPECT_EQ(withoutTrailingSeparators("a\\/"), "a") << "slashes first, then backslashes";
  EXPECT_EQ(withoutTrailingSeparators("a/\\"), "a/");
  EXPECT_EQ(withoutTrailingSeparators("\\\\"), "");
}

}  // namespace
}  // namespace orv
