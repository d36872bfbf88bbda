// The progress window's portable rules (colours, position, logo layout,
// display levels), its action list and the WINDOW directive, driven through a
// window that records what it is asked to do.
#include <gtest/gtest.h>

#include "engine/document.h"
#include "engine/engine.h"
#include "engine/interpreter.h"
#include "test_support.h"
#include "ui/action_list.h"
#include "ui/window_settings.h"

namespace orv {
namespace {

using ui::kStandardColour;

TEST(WindowColours, PairsAreRedGreenBlueThenAlpha) {
  EXPECT_EQ(ui::parseColour("#FF0000"), 0x0000FFu);  // red in the low byte
  EXPECT_EQ(ui::parseColour("0000FF"), 0xFF0000u);
  EXPECT_EQ(ui::parseColour("$00FF00"), 0x00FF00u);
  EXPECT_EQ(ui::parseColour("#11223344"), 0x44332211u);
  EXPECT_EQ(ui::parseColour("#$12#34$56"), 0x563412u);  // every # and $ is dropped
  EXPECT_EQ(ui::parseColour("#FFF"), kStandardColour);
  EXPECT_EQ(ui::parseColour(""), kStandardColour);
  EXPECT_EQ(ui::parseColour("#1234567"), kStandardColour);
  EXPECT_EQ(ui::parseColour("ZZ00FF"), 0xFF0000u);  // a pair that is no number counts 0
}

TEST(WindowPosition, CentredFixedAndGarbage) {
  EXPECT_TRUE(ui::parseAxis("").centred);
  EXPECT_TRUE(ui::parseAxis("centred").centred);
  EXPECT_FALSE(ui::parseAxis("Centred").centred);  // only the keyword itself centres
  EXPECT_EQ(ui::parseAxis("Centred").value, 0);
  EXPECT_EQ(ui::parseAxis("40").value, 40);
  EXPECT_EQ(ui::parseAxis("-12").value, -12);
  EXPECT_EQ(ui::parseAxis("12px").value, 12);
  EXPECT_EQ(ui::placeOnAxis(ui::parseAxis(""), 1024, 711), 156);
  EXPECT_EQ(ui::placeOnAxis(ui::parseAxis(""), 100, 711), -305);  // truncated toward zero
  EXPECT_EQ(ui::placeOnAxis(ui::parseAxis("40"), 1024, 711), 40);
}

TEST(WindowLayout, WithoutAndWithALogo) {
  ui::WindowLayout plain = ui::layoutFor(0, 0);
  EXPECT_EQ(plain.reducedHeight, 115);
  EXPECT_EQ(plain.fullHeight, 385);
  EXPECT_EQ(plain.containerY, 0);
  EXPECT_EQ(plain.groupsY, -1);
  ui::WindowLayout logo = ui::layoutFor(200, 100);
  EXPECT_EQ(logo.logoX, 253);
  EXPECT_EQ(logo.containerY, 101);
  EXPECT_EQ(logo.groupsY, 442);
  EXPECT_EQ(logo.fullHeight, 485);
  EXPECT_EQ(logo.reducedHeight, 215);
  EXPECT_EQ(ui::layoutFor(201, 1).logoX, 253);  // halves are rounded down separately
  EXPECT_EQ(ui::layoutFor(900, 10).logoX, -97);  // wider than the window: starts left of it
}

TEST(WindowDisplayLevels, WhichStatesEachLevelShows) {
  for (const char* level : {"", "allaction"}) {
    EXPECT_TRUE(ui::levelShows(level, -2)) << level;
    EXPECT_TRUE(ui::levelShows(level, 10)) << level;
    EXPECT_FALSE(ui::levelShows(level, 11)) << level;
  }
  EXPECT_TRUE(ui::levelShows("all", 11));
  EXPECT_TRUE(ui::levelShows("all", 99));
  EXPECT_FALSE(ui::levelShows("action", -1));
  EXPECT_FALSE(ui::levelShows("action", 0));
  EXPECT_TRUE(ui::levelShows("action", 1));
  EXPECT_TRUE(ui::levelShows("action", 10));
  EXPECT_FALSE(ui::levelShows("action", 11));
  EXPECT_FALSE(ui::levelShows("none", 1));
  EXPECT_FALSE(ui::levelShows("allactionx", 1));  // ten characters compared: no level
  EXPECT_TRUE(ui::levelShows("actiondone", 1) == false);
  EXPECT_TRUE(ui::levelShows("allaction", 1));
}

// A window that only records the calls made to it.
class RecordingWindow : public ui::ProgressWindow {
 public:
  explicit RecordingWindow(std::vector<std::string>* calls, bool desktop = true) : calls_(calls), desktop_(desktop) {}
  bool start(const ui::WindowSettings& s) override {
    calls_->push_back("start " + s.titlewindow);
    started_ = desktop_;
    return desktop_;
  }
  bool started() const override { return started_; }
  bool exists() const override { return started_ && !ended_; }
  void hide() override { calls_->push_back("hide"); }
  void show() override { calls_->push_back("show"); }
  void end() override {
    ended_ = true;
    calls_->push_back("end");
  }
  void removeTopLine() override { calls_->push_back("remove"); }
  void insertTopLine(int state, const std::string& time, const std::string& text) override {
    EXPECT_EQ(time.size(), 8u);
    calls_->push_back("insert " + std::to_string(state) + " " + text);
  }
  void setHeaders(const std::string& title, const std::string& description) override {
    calls_->push_back("headers " + title + "|" + description);
  }

 private:
  std::vector<std::string>* calls_;
  bool desktop_, started_ = false, ended_ = false;
};

class ActionListLines : public ::testing::Test {
 protected:
  ActionListLines() : list_(std::make_unique<RecordingWindow>(&calls_)) { list_.window().start({}); }
  std::vector<std::string> calls_;
  ui::ActionList list_;
};

TEST_F(ActionListLines, RunningThenFinishedRewritesTheTopLine) {
  calls_.clear();
  list_.showActionLine("Install", "the tools", 10, 0);
  list_.showActionLine("", "", 1, 1);
  EXPECT_EQ(calls_, (std::vector<std::string>{"insert 10 Install : the tools", "headers Install|the tools", "remove",
                                              "insert 1 Install : the tools"}));
}

TEST_F(ActionListLines, ReplaceActsOnTheNewestLineEvenAnEvent) {
  list_.settings.displaylevel = "all";
  EXPECT_TRUE(list_.mirrorsLog());
  calls_.clear();
  list_.showActionLine("A", "d", 10, 0);
  list_.addListLine("a log message", 11, 0);
  list_.showActionLine("", "", 1, 1);
  EXPECT_EQ(calls_.back(), "insert 1 a log message");
  EXPECT_EQ(calls_[calls_.size() - 2], "remove");
}

TEST_F(ActionListLines, LevelsFilterLinesAndHeaders) {
  calls_.clear();
  list_.settings.displaylevel = "none";
  list_.showActionLine("A", "d", 10, 0);
  list_.settings.displaylevel = "action";
  list_.showActionLine("B", "d", -1, 0);
  list_.showActionLine("C", "d", -2, 0);
  EXPECT_TRUE(calls_.empty());
  EXPECT_FALSE(list_.mirrorsLog());
  list_.settings.displaylevel = "ALL";  // stored lower-cased by WINDOW: any other spelling is no level
  EXPECT_FALSE(list_.mirrorsLog());
}

TEST(ActionListNoWindow, NothingIsAddedAndReplaceFindsNothing) {
  std::vector<std::string> calls;
  ui::ActionList list(std::make_unique<RecordingWindow>(&calls, false));
  list.addListLine("", 1, 1);
  list.showActionLine("A", "d", 10, 0);
  list.settings.displaylevel = "all";
  EXPECT_FALSE(list.mirrorsLog());
  EXPECT_TRUE(calls.empty());
  EXPECT_EQ(ui::listTime().size(), 8u);
}

class WindowDirective : public ::testing::Test {
 protected:
  void SetUp() override {
    engine_.runLog.path = dir_.file("run.log");
    engine_.window = std::make_unique<ui::ActionList>(std::make_unique<RecordingWindow>(&calls_, desktop_));
  }
  int64_t run(const std::string& xml) {
    auto doc = parseDocument(xml, "");
    EXPECT_EQ(doc->status, 0) << xml;
    return runEntry(engine_, *findHandler("WINDOW"), *doc->root);
  }
  ui::ActionList& list() { return dynamic_cast<ui::ActionList&>(*engine_.window); }
  bool logged(const std::string& text) {
    for (const std::string& l : test::logLines(dir_.file("run.log")))
      if (l.find(text) != std::string::npos) return true;
    return false;
  }

  bool desktop_ = true;
  std::vector<std::string> calls_;
  test::TempDir dir_;
  Engine engine_;
};

TEST_F(WindowDirective, CreateOnceThenEmptyTypeAlters) {
  engine_.root.description = "Site #who#";
  engine_.memos.set("who", "Lyon");
  EXPECT_EQ(run(R"(<WINDOW titlewindow="T-#who#" windowx="123456" displaylevel="AllAction"/>)"), 1);
  EXPECT_EQ(list().settings.titlewindow, "T-Lyon");
  EXPECT_EQ(list().settings.windowx, "12345");
  EXPECT_EQ(list().settings.displaylevel, "allaction");
  EXPECT_EQ(list().settings.rootDescription, "Site Lyon");
  EXPECT_EQ(run(R"(<WINDOW windowx="centred" windowy="centreD"/>)"), 0);
  EXPECT_EQ(list().settings.windowx, "centred");  // the keyword is kept whole
  EXPECT_EQ(list().settings.windowy, "centr");
  EXPECT_EQ(run(R"(<WINDOW titlewindow="second"/>)"), 0);  // alter
  EXPECT_EQ(run(R"(<WINDOW type="CREATE"/>)"), 0);        // a second window never opens
  EXPECT_EQ(calls_, (std::vector<std::string>{"start T-Lyon"}));
  EXPECT_EQ(list().settings.displaylevel, "");  // every WINDOW rewrites every setting
}

TEST_F(WindowDirective, HideShowDeleteAndTheInheritedPolicy) {
  EXPECT_EQ(run(R"(<WINDOW type="hide"/>)"), 0);  // no window yet
  EXPECT_EQ(run(R"(<WINDOW type="create"/>)"), 1);
  EXPECT_EQ(run(R"(<WINDOW type="hide"/>)"), 1);
  EXPECT_EQ(run(R"(<WINDOW type="show"/>)"), 1);
  EXPECT_EQ(run(R"(<WINDOW type="delete" blocktagerror="ignore"/>)"), 0);  // its own policy is not read
  engine_.action.blockTagErrorCode = -1;
  EXPECT_EQ(run(R"(<WINDOW type="delete"/>)"), -1);
  EXPECT_EQ(run(R"(<WINDOW type="bogus"/>)"), -1);
  EXPECT_EQ(calls_, (std::vector<std::string>{"start ", "hide", "show", "end", "end"}));
}

TEST_F(WindowDirective, WithoutAttributesFails) {
  EXPECT_EQ(run("<WINDOW/>"), 0);
  EXPECT_TRUE(calls_.empty());
}

TEST(WindowDirectiveNoDesktop, CreateAnswersOneAndTheRestFindNoWindow) {
  test::TempDir dir;
  Engine engine;
  engine.runLog.path = dir.file("run.log");
  auto run = [&](const std::string& xml) {
    auto doc = parseDocument(xml, "");
    return runEntry(engine, *findHandler("WINDOW"), *doc->root);
  };
  // The platform's own window: on this machine's desktop or none.
  EXPECT_EQ(run(R"(<WINDOW type="delete"/>)"), 0);
  EXPECT_EQ(run(R"(<WINDOW type="show"/>)"), 0);
  EXPECT_NE(dynamic_cast<ui::ActionList*>(engine.window.get()), nullptr);
}

}  // namespace
}  // namespace orv
