// EXEC's pieces: accepted codes, captured text, argument splitting, and the
// program-start facility driven with the test helper.
#include "sysops/exec.h"

#include <gtest/gtest.h>

#include "platform/files.h"
#include "platform/process.h"
#include "platform/system.h"
#include "test_support.h"

namespace orv {

TEST(AcceptedCodes, FieldsReadByTheNumberRule) {
  EXPECT_TRUE(acceptsExitCode("0,3010", 3010));
  EXPECT_FALSE(acceptsExitCode("0,3010", 1));
  EXPECT_TRUE(acceptsExitCode("0,,5", 0));
  EXPECT_TRUE(acceptsExitCode("1,", 0));  // the empty last field reads 0
  EXPECT_TRUE(acceptsExitCode(" $BC2", 3010));
  EXPECT_TRUE(acceptsExitCode("-1", -1));
  EXPECT_TRUE(acceptsExitCode("abc", 0));
  EXPECT_FALSE(acceptsExitCode("2, 3", 1));
}

TEST(CapturedText, LinesEndWithACarriageReturn) {
  EXPECT_EQ(capturedText(""), "");
  EXPECT_EQ(capturedText("a\nb\r\n"), "a\rb\r");
  EXPECT_EQ(capturedText("a\n\nlast"), "a\r\rlast\r");
  EXPECT_EQ(capturedText("caf\xC3\xA9\n"), "caf\xC3\xA9\r");
  EXPECT_EQ(capturedText("caf\xE9\n"), "caf\xC3\xA9\r");  // not UTF-8: the ANSI code page
}

TEST(ParameterSplit, LikeAWindowsProgram) {
  using V = std::vector<std::string>;
  EXPECT_EQ(proc::splitCommandLine(""), V{});
  EXPECT_EQ(proc::splitCommandLine("  a\tb  "), (V{"a", "b"}));
  EXPECT_EQ(proc::splitCommandLine("/i \"C:\\Program Files\\x.msi\" /qn"),
            (V{"/i", "C:\\Program Files\\x.msi", "/qn"}));
  EXPECT_EQ(proc::splitCommandLine("a\"b c\"d"), (V{"ab cd"}));
  EXPECT_EQ(proc::splitCommandLine("\"\" x"), (V{"", "x"}));
  EXPECT_EQ(proc::splitCommandLine("\"say \"\"hi\"\"\""), (V{"say \"hi\""}));
  EXPECT_EQ(proc::splitCommandLine("a\\\\\"b c\""), (V{"a\\b c"}));
  EXPECT_EQ(proc::splitCommandLine("a\\\"b"), (V{"a\"b"}));
  EXPECT_EQ(proc::splitCommandLine("c:\\dir\\ x"), (V{"c:\\dir\\", "x"}));
}

// The helper program sits beside the test binary.
static std::string helperPath() {
  std::string dir = fs::folderPart(sys::selfPath());
  return fs::fileExists(dir + "orvhelper.exe") ? dir + "orvhelper.exe" : dir + "orvhelper";
}

static std::unique_ptr<proc::ChildProcess> startHelper(const std::string& params, bool capture = true) {
  proc::StartOptions options;
  options.capture = capture;
  int64_t error = -1;
  auto child = proc::startProcess(helperPath(), params, "", options, error);
  EXPECT_TRUE(child) << "start failed: " << error;
  return child;
}

TEST(ChildProcess, BothStreamsAreDrainedWhileWaiting) {
  // Far more than a pipe holds, on both streams: a poll-per-line reader would block.
  auto child = startHelper("out 8000000 err 8000000 line done exit 7");
  ASSERT_TRUE(child);
  ASSERT_TRUE(child->waitForExit(0));
  EXPECT_EQ(child->exitCode(), 7);
  std::string out = capturedText(child->output());
  EXPECT_EQ(out.size(), 8000000u + 5);
  EXPECT_EQ(out.substr(out.size() - 5), "done\r");
  EXPECT_EQ(capturedText(child->errors()).size(), 8000000u);
}

TEST(ChildProcess, TimeLimitThenForcedStop) {
  auto child = startHelper("line started sleep 60000 exit 3");
  ASSERT_TRUE(child);
  EXPECT_FALSE(child->waitForExit(300));
  child->terminate();
  EXPECT_EQ(capturedText(child->output()), "started\r");  // output before the stop is kept
}

TEST(ChildProcess, AGrandchildHoldingThePipesDoesNotHangTheWait) {
  auto child = startHelper("line parent spawn 4000 exit 4");
  ASSERT_TRUE(child);
  ASSERT_TRUE(child->waitForExit(20000));
  EXPECT_EQ(child->exitCode(), 4);
  EXPECT_EQ(capturedText(child->output()), "parent\r");
}

TEST(ChildProcess, ArgumentsWorkingFolderAndEnvironment) {
  test::TempDir dir;
  sys::setEnv("ORV_EXEC_TEST", "inherited");
  proc::StartOptions options;
  options.capture = true;
  int64_t error = 0;
  auto child =
      proc::startProcess(helperPath(), "env ORV_EXEC_TEST cwd - argv \"a b\" c", dir.path(), options, error);
  ASSERT_TRUE(child);
  ASSERT_TRUE(child->waitForExit(0));
  std::string out = capturedText(child->output());
  EXPECT_NE(out.find("inherited\r"), std::string::npos);
  EXPECT_NE(out.find(fs::filePart(dir.path()) + "\r"), std::string::npos);
  EXPECT_NE(out.find("[a b]\r[c]\r"), std::string::npos);
}

TEST(ChildProcess, ARelativeProgramIsOursNotTheWorkingFolders) {
  test::TempDir dir;
  std::string here = sys::currentDir();
  ASSERT_TRUE(sys::setCurrentDir(fs::folderPart(helperPath())));
  proc::StartOptions options;
  options.capture = true;
  int64_t error = 0;
  auto child = proc::startProcess(fs::filePart(helperPath()), "exit 5", dir.path(), options, error);
  sys::setCurrentDir(here);
  ASSERT_TRUE(child) << error;
  ASSERT_TRUE(child->waitForExit(0));
  EXPECT_EQ(child->exitCode(), 5);
}

TEST(ChildProcess, AMissingProgramDoesNotStart) {
  proc::StartOptions options;
  options.capture = true;
  int64_t error = 0;
  EXPECT_FALSE(proc::startProcess(helperPath() + "-missing", "", "", options, error));
  EXPECT_NE(error, 0);
}

}  // namespace orv
