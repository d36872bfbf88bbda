// COMOGUI and the command table, and SYSTRAY through its dispatch row. Where
// a notification area exists (Windows) the icons are really added; elsewhere
// the directive's failure path is checked.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "engine/document.h"
#include "engine/engine.h"
#include "engine/interpreter.h"
#include "platform/files.h"
#include "platform/system.h"
#include "platform/tray.h"
#include "test_support.h"
#include "ui/command_table.h"
#include "ui/systray.h"

namespace orv {

namespace {

std::string helperPath() {
  std::string dir = fs::folderPart(sys::selfPath());
  return fs::fileExists(dir + "orvhelper.exe") ? dir + "orvhelper.exe" : dir + "orvhelper";
}

// A 2 x 2 PNG picture.
const char kPng[] =
    "\x89\x50\x4E\x47\x0D\x0A\x1A\x0A\x00\x00\x00\x0D\x49\x48\x44\x52\x00\x00\x00\x02\x00\x00\x00\x02"
    "\x08\x06\x00\x00\x00\x72\xB6\x0D\x24\x00\x00\x00\x14\x49\x44\x41\x54\x78\x9C\x63\x64\x68\xF8\x7F"
    "\x82\x81\x81\x81\x81\x89\x01\x0A\x00\x22\x17\x02\x4B\x9A\xC1\x94\xE7\x00\x00\x00\x00\x49\x45\x4E"
    "\x44\xAE\x42\x60\x82";

bool waitForFile(const std::string& path) {
  for (int i = 0; i < 200 && !fs::fileExists(path); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  return fs::fileExists(path);
}

class UiDirective : public ::testing::Test {
 protected:
  void SetUp() override { engine.runLog.path = dir.file("run.log"); }
  int64_t run(const std::string& tag, const std::string& attrs) {
    docs.push_back(parseDocument("<ORVANTIS><" + tag + " " + attrs + "/></ORVANTIS>", ""));
    return runEntry(engine, *findHandler(tag), *docs.back()->root->children[0]);
  }
  // The log lines written since the last call, without their indentation.
  std::vector<std::string> newLines() {
    std::vector<std::string> all = test::logLines(engine.runLog.path), out;
    for (size_t i = seen; i < all.size(); ++i) out.push_back(all[i].substr(all[i].find_first_not_of('\t')));
    seen = all.size();
    return out;
  }
  bool logged(const std::vector<std::string>& lines, const std::string& text) {
    return std::find(lines.begin(), lines.end(), text) != lines.end();
  }
  test::TempDir dir;
  Engine engine;
  std::vector<std::unique_ptr<ParsedDocument>> docs;
  size_t seen = 0;
};

}  // namespace

TEST_F(UiDirective, ComoguiFillsAndReplacesEntries) {
  engine.memos.set("tool", "notes");
  EXPECT_EQ(run("COMOGUI",
                "name=\"#tool#\" programlocation=\"a.exe\" parameters=\"-x #tool#\" "
                "workingdirectory=\"C:\\w\""),
            1);
  ui::Command c;
  ASSERT_TRUE(ui::findCommand("notes", c));
  EXPECT_EQ(c.program, "a.exe");
  EXPECT_EQ(c.parameters, "-x notes");
  EXPECT_EQ(c.workingDirectory, "C:\\w");
  EXPECT_EQ(run("COMOGUI", "name=\"notes\" programlocation=\"b.exe\""), 1);
  ASSERT_TRUE(ui::findCommand("notes", c));
  EXPECT_EQ(c.program, "b.exe");
  EXPECT_EQ(c.parameters, "");
  EXPECT_FALSE(ui::findCommand("Notes", c));  // names are exact
  newLines();
  EXPECT_EQ(run("COMOGUI", "name=\"\" programlocation=\"c.exe\""), 0);
  std::vector<std::string> lines = newLines();
  EXPECT_TRUE(logged(lines, "Ajout d'une commande sur l'interface graphique."));
  EXPECT_TRUE(logged(lines, "X-> Le nom de la commande est vide : aucune commande n'est ajoutée."));
  EXPECT_FALSE(ui::findCommand("", c));
}

TEST_F(UiDirective, RunCommandStartsTheProgramInItsFolder) {
  ui::setCommand("make", {helperPath(), "create made.txt", dir.path()});
  EXPECT_TRUE(ui::runCommand("make"));
  EXPECT_TRUE(waitForFile(dir.file("made.txt")));
  // Unknown names, entries without a program and programs that do not start.
  EXPECT_FALSE(ui::runCommand("Make"));
  ui::setCommand("empty", {"", "create other.txt", dir.path()});
  EXPECT_FALSE(ui::runCommand("empty"));
  ui::setCommand("missing", {dir.file("nothing.exe"), "", dir.path()});
  EXPECT_FALSE(ui::runCommand("missing"));
  // A program that keeps running does not keep the table: it can change at once.
  ui::setCommand("slow", {helperPath(), "sleep 3000", dir.path()});
  EXPECT_TRUE(ui::runCommand("slow"));
  auto before = std::chrono::steady_clock::now();
  ui::setCommand("slow", {helperPath(), "", ""});
  EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(1));
}

TEST_F(UiDirective, SystrayAnswersWithoutATrayIcon) {
  EXPECT_EQ(run("SYSTRAY", "type=\"delete\" name=\"Never\""), 1);
  std::vector<std::string> lines = newLines();
  EXPECT_TRUE(logged(lines, "Suppression d'un systray."));
  EXPECT_TRUE(logged(lines, "Le systray n'est pas présent."));
  EXPECT_EQ(run("SYSTRAY", "type=\"notify\" name=\"n\" title=\"T\""), 0);
  EXPECT_TRUE(logged(
      newLines(), "X-> Il faut renseigner un titre et un texte pour executer l'affichage d'un infobulle."));
  EXPECT_EQ(trayIcons().count("n"), 0u);
}

TEST_F(UiDirective, SystrayCreateReplaceNotifyDelete) {
  bool tray = tray::ensureOwner();
  std::string png = dir.file("icon.png"), broken = dir.file("broken.png");
  test::spit(png, std::string(kPng, sizeof(kPng) - 1));
  test::spit(broken, "");  // exists but does not decode
  int64_t ok = tray ? 1 : 0;
  EXPECT_EQ(run("SYSTRAY", "name=\"Info\" icon=\"Question\" description=\"tip\""), ok);
  EXPECT_EQ(run("SYSTRAY", "type=\"create\" name=\"INFO\" icon=\"" + dir.file("missing.ico") + "\""), ok);
  std::vector<std::string> lines = newLines();
  if (!tray) {
    EXPECT_TRUE(logged(lines, "X-> Impossible d'initiliser le systray."));
    EXPECT_TRUE(trayIcons().empty());
    EXPECT_EQ(run("SYSTRAY", "type=\"notify\" name=\"x\" title=\"T\" text=\"t\""), 0);
    return;
  }
  EXPECT_TRUE(logged(lines, "Le systray nommée info est déja présent. Suppression de celui-ci."));
  EXPECT_TRUE(logged(lines, "OK"));
  EXPECT_EQ(trayIcons().size(), 1u);
  EXPECT_EQ(trayIcons().count("info"), 1u);
  // A notify on a new name creates it first; a file that does not decode
  // gives an icon without a picture.
  EXPECT_EQ(run("SYSTRAY",
                "type=\"notify\" name=\"Other\" title=\"Titre LONG\" text=\"Texte\" balloonico=\"WARN\" "
                "icon=\"" +
                    broken + "\""),
            1);
  lines = newLines();
  EXPECT_TRUE(logged(lines, "Création d'un systray."));
  EXPECT_TRUE(logged(lines, "Affichage d'une infobulle."));
  EXPECT_EQ(trayIcons().count("other"), 1u);
  EXPECT_EQ(run("SYSTRAY", "type=\"notify\" name=\"other\" title=\"" + std::string(300, 't') + "\" text=\"" +
                               std::string(400, 'x') + "\""),
            1);
  EXPECT_EQ(run("SYSTRAY", "name=\"picture\" icon=\"" + png + "\""), 1);
  EXPECT_EQ(run("SYSTRAY", "type=\"delete\" name=\"picture\""), 1);
  EXPECT_EQ(run("SYSTRAY", "type=\"delete\" name=\"OTHER\""), 1);
  EXPECT_EQ(run("SYSTRAY", "type=\"delete\" name=\"info\""), 1);
  EXPECT_TRUE(trayIcons().empty());
}

}  // namespace orv
