// Faults injected through the file-operations seam: a full disk, failing
// copies and deletions, and a volume root given to DELETE.
#include <gtest/gtest.h>

#include "engine/document.h"
#include "engine/engine.h"
#include "engine/interpreter.h"
#include "platform/files.h"
#include "test_support.h"

namespace orv {

class InjectedFaults : public ::testing::Test {
 protected:
  void SetUp() override { engine.runLog.path = dir.file("run.log"); }
  // Walks a whole directive file; attributes may name files of the test folder as @name.
  int64_t runFile(const std::string& body) {
    doc = parseDocument(replaceDir("<ORVANTIS>" + body + "</ORVANTIS>"), "");
    EXPECT_EQ(doc->status, 0);
    return interpretNode(engine, *doc->root);
  }
  // Runs one directive through its row of the dispatch table.
  int64_t run(const std::string& directive) {
    doc = parseDocument(replaceDir("<ORVANTIS>" + directive + "</ORVANTIS>"), "");
    const DirectiveNode& node = *doc->root->children[0];
    return runEntry(engine, *findHandler(std::string(node.name)), node);
  }
  std::string replaceDir(std::string text) {
    for (size_t at; (at = text.find('@')) != std::string::npos;)
      text.replace(at, 1, dir.path() + fs::separator());
    return text;
  }
  bool logged(const std::string& line) {
    for (const std::string& l : test::logLines(engine.runLog.path))
      if (l.find(line) != std::string::npos) return true;
    return false;
  }
  void makeFiles(const std::string& folder, std::initializer_list<const char*> names) {
    fs::createDirectories(dir.file(folder));
    for (const char* name : names) test::spit(dir.file(folder) + fs::separator() + name, name);
  }
  test::TempDir dir;
  Engine engine;
  std::unique_ptr<ParsedDocument> doc;
  test::FileOpsRecorder recorder;
};

TEST_F(InjectedFaults, AFullDiskLosesLogLinesButTheRunGoesOn) {
  recorder.failCall("appendToFile", 1, true);
  int64_t result = runFile(
      "<ACTION name=\"a\" version=\"1\"><CREATE type=\"file\" location=\"@made.txt\" value=\"x\"/>"
      "<LOG text=\"lost\"/></ACTION>");
  EXPECT_EQ(result, 1);
  EXPECT_EQ(engine.run.exitCode, 0);
  EXPECT_TRUE(fs::fileExists(dir.file("made.txt")));
  EXPECT_GT(recorder.calls("appendToFile").size(), 5u);
  EXPECT_TRUE(test::slurp(engine.runLog.path).empty());
  // Once there is room again, the next line is written.
  recorder.failCall("", 0);
  engine.log("room again", "LVL+0");
  EXPECT_TRUE(logged("room again"));
}

TEST_F(InjectedFaults, AFailedCopyLeavesNoTargetAndFailsTheDirective) {
  makeFiles("src", {"a.txt", "b.txt", "c.txt"});
  recorder.failCall("copyFile", 2);
  EXPECT_EQ(run("<COPY type=\"directory\" sourcelocation=\"@src\" targetlocation=\"@dst\"/>"), 0);
  EXPECT_TRUE(logged("X-> Erreur de copie. Bien vérifier la source de la copie et la cible."));
  std::vector<std::string> copies = recorder.calls("copyFile");
  ASSERT_EQ(copies.size(), 3u);  // the others are still copied
  std::string failed = copies[1].substr(std::string("copyFile ").size());
  EXPECT_FALSE(fs::pathExists(failed));
  EXPECT_TRUE(fs::fileExists(copies[0].substr(std::string("copyFile ").size())));
}

TEST_F(InjectedFaults, AFailedCopyOfOneFileKeepsTheOldTarget) {
  makeFiles("d", {"new.txt"});
  test::spit(dir.file("d/old.txt"), "precious");
  recorder.failCall("copyFile", 1);
  EXPECT_EQ(run("<COPY type=\"file\" sourcelocation=\"@d/new.txt\" targetlocation=\"@d/old.txt\"/>"), 0);
  EXPECT_EQ(test::slurp(dir.file("d/old.txt")), "precious");
}

TEST_F(InjectedFaults, DeleteStopsAtTheFirstFailedDeletion) {
  makeFiles("del", {"1.txt", "2.txt", "3.txt", "4.txt"});
  recorder.failCall("removeFile", 2);
  EXPECT_EQ(run("<DELETE type=\"file\" location=\"@del\" filefilter=\"*.txt\"/>"), 0);
  EXPECT_EQ(recorder.calls("removeFile").size(), 2u);
  size_t left = 0;
  for (const char* name : {"1.txt", "2.txt", "3.txt", "4.txt"})
    left += fs::fileExists(dir.file("del/") + name);
  EXPECT_EQ(left, 3u);  // the failed one and the two never tried
}

TEST_F(InjectedFaults, DeleteOfAVolumeRootRemovesNothing) {
  recorder.refuseAll();  // should the refusal ever break, nothing on the disk may change
  for (const char* type : {"directory", "cleandir"}) {
    // The roots of each system's paths ("//" is a root on POSIX only).
    std::vector<std::string> roots =
        fs::separator() == '\\' ? std::vector<std::string>{"/", "C:\\"} : std::vector<std::string>{"/", "//"};
    for (const std::string& root : roots) {
      SCOPED_TRACE(std::string(type) + " " + root);
      EXPECT_EQ(run(std::string("<DELETE type=\"") + type + "\" location=\"" + root + "\"/>"), 0);
    }
  }
  for (const std::string& call : recorder.calls()) EXPECT_EQ(call.rfind("appendToFile", 0), 0u) << call;
}

}  // namespace orv
