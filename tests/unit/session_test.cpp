// SESSION with the session operations replaced: nothing touches the machine.
#include <gtest/gtest.h>

#include "engine/document.h"
#include "engine/engine.h"
#include "engine/interpreter.h"
#include "platform/session_ops.h"
#include "sysops/session.h"
#include "test_support.h"

namespace orv {

namespace {

class FakeOps : public session::SessionOps {
 public:
  explicit FakeOps(std::vector<std::string>& calls) : calls_(calls) {}
  void reboot() override { calls_.push_back("reboot"); }
  void shutdown() override { calls_.push_back("shutdown"); }
  void logoff() override { calls_.push_back("logoff"); }
  void lock() override { calls_.push_back("lock"); }

 private:
  std::vector<std::string>& calls_;
};

}  // namespace

class Session : public ::testing::Test {
 protected:
  void SetUp() override {
    engine.runLog.path = dir.file("run.log");
    session::installSessionOps(std::make_unique<FakeOps>(calls));
  }
  void TearDown() override { session::installSessionOps(nullptr); }
  int64_t run(const std::string& attrs) {
    doc = parseDocument("<ORVANTIS><SESSION " + attrs + "/></ORVANTIS>", "");
    return runEntry(engine, *findHandler("SESSION"), *doc->root->children[0]);
  }
  std::string lastLine() { return test::logLines(engine.runLog.path).back(); }
  test::TempDir dir;
  Engine engine;
  std::unique_ptr<ParsedDocument> doc;
  std::vector<std::string> calls;
};

TEST_F(Session, MachineOperationsGoThroughTheSeam) {
  EXPECT_EQ(run("type=\"REBOOT\""), 1);
  EXPECT_EQ(lastLine(), "\tLe redémarrage de la machine est demandé.");
  EXPECT_EQ(run("type=\"shutdown\""), 1);
  EXPECT_EQ(run("type=\"lock\""), 1);
  EXPECT_EQ(run("type=\"logoff\""), 1);
  EXPECT_EQ(calls, (std::vector<std::string>{"reboot", "shutdown", "lock", "logoff"}));
}

TEST_F(Session, ReturnCodeReadsStoredResultsAndMemos) {
  engine.results.exec["setup"] = 3010;
  EXPECT_EQ(run("type=\"returncode\" value=\"#setup#\""), 1);
  EXPECT_EQ(engine.run.exitCode, 3010);
  engine.memos.set("code", "$10");
  EXPECT_EQ(run("type=\"returncode\" value=\"#CODE#\""), 1);
  EXPECT_EQ(engine.run.exitCode, 16);
  EXPECT_EQ(lastLine(), "\tRéglage du code retour de sortie de Orvantis : 16");
  engine.memos.set("rc", "42");
  EXPECT_EQ(run("type=\"returncode\" value=\"#rc#\""), 1);
  EXPECT_EQ(engine.run.exitCode, 42);
  // Only exit codes and memos: no environment or built-in variable.
  EXPECT_EQ(run("type=\"returncode\" value=\"#d#\""), 1);
  EXPECT_EQ(engine.run.exitCode, 0);
  EXPECT_EQ(run("type=\"returncode\" value=\"abc\""), 1);
  EXPECT_EQ(engine.run.exitCode, 0);
}

TEST_F(Session, ActionQuitAndUnknownTypes) {
  EXPECT_EQ(run("type=\"actionquit\""), -5);
  EXPECT_EQ(run("type=\"actionquit\" blocktagerror=\"ignore\""), -1);
  EXPECT_EQ(run("type=\"sleep\""), 0);
  EXPECT_EQ(run("value=\"1\""), 0);
  EXPECT_EQ(lastLine(), "\tX-> L'attribut type n'est pas spécifié ou n'est pas remplis correctement.");
  EXPECT_TRUE(calls.empty());
}

TEST(SessionRecorder, WritesOneLinePerRequest) {
  test::TempDir dir;
  auto ops = session::makeRecordingSessionOps(dir.file("dry.log"));
  ops->reboot();
  ops->lock();
  EXPECT_EQ(test::slurp(dir.file("dry.log")), "reboot\nlock\n");
}

}  // namespace orv
