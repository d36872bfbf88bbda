// Failed platform calls explained in the log, file names that are not UTF-8,
// deep relative paths, and a run log that cannot be written.
#include <gtest/gtest.h>

#include "engine/document.h"
#include "engine/engine.h"
#include "engine/interpreter.h"
#include "platform/files.h"
#include "platform/system.h"
#include "test_support.h"

namespace orv {
namespace {

class SystemErrors : public ::testing::Test {
 protected:
  void SetUp() override {
    engine.runLog.path = dir.file("run.log");
    engine.runLog.dateMask = "0";
  }
  int64_t run(const std::string& directive) {
    doc =
        parseDocument("<ORVANTIS><ACTION name=\"a\" version=\"1\">" + directive + "</ACTION></ORVANTIS>", "");
    return interpretNode(engine, *doc->root->children[0]->children[0]);
  }
  // The "Erreur système" lines of the log so far.
  std::vector<std::string> systemLines() {
    std::vector<std::string> out;
    for (const std::string& l : test::logLines(engine.runLog.path))
      if (l.find("Erreur système : ") != std::string::npos) out.push_back(l);
    return out;
  }
  test::TempDir dir;
  Engine engine;
  std::unique_ptr<ParsedDocument> doc;
};

// The actions base's lock and replacement say which call failed too.
TEST_F(SystemErrors, AnActionsBaseThatCannotBeWrittenSaysWhy) {
  std::string base = dir.file("no-folder") + fs::separator() + "Actions.ini";
  engine.root.actionsFile = base;
  doc = parseDocument("<ORVANTIS><ACTION name=\"a\" version=\"1\"><LOG text=\"x\"/></ACTION></ORVANTIS>", "");
  interpretNode(engine, *doc->root->children[0]);
  std::vector<std::string> lines = systemLines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_NE(lines[0].find(" a échoué (code "), std::string::npos) << lines[0];
  EXPECT_NE(lines[0].find(base + ".lock"), std::string::npos) << lines[0];
  EXPECT_FALSE(fs::pathExists(base));
}

TEST_F(SystemErrors, FailedCopyAndCreateSayWhichCallFailedAndWhy) {
  std::string missing = dir.file("missing.txt");
  EXPECT_EQ(run("<COPY type=\"file\" sourcelocation=\"" + missing + "\" targetlocation=\"" +
                dir.file("t.txt") + "\" blocktagerror=\"ignore\"/>"),
            1);
  std::vector<std::string> lines = systemLines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_NE(lines[0].find("X-> Erreur système : "), std::string::npos) << lines[0];
  EXPECT_NE(lines[0].find(" a échoué (code 2 : "), std::string::npos) << lines[0];
  EXPECT_NE(lines[0].find(") — " + missing), std::string::npos) << lines[0];
  std::string nowhere = dir.file("no-folder") + fs::separator() + "f.txt";
  run("<CREATE type=\"file\" location=\"" + nowhere + "\" value=\"x\" blocktagerror=\"ignore\"/>");
  lines = systemLines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_NE(lines[1].find(nowhere), std::string::npos) << lines[1];
  // A successful directive adds no such line, even after failures.
  test::spit(dir.file("s.txt"), "x");
  EXPECT_EQ(run("<COPY type=\"file\" sourcelocation=\"" + dir.file("s.txt") + "\" targetlocation=\"" +
                dir.file("t.txt") + "\"/>"),
            1);
  EXPECT_EQ(systemLines().size(), 2u);
}

TEST_F(SystemErrors, DeepRelativePathsWithDotDotAreCopiedAndDeleted) {
  // More than 260 characters once resolved, and relative with "..".
  std::string deep;
  for (int i = 0; i < 8; ++i) deep += std::string(40, static_cast<char>('a' + i)) + fs::separator();
  ASSERT_TRUE(fs::createDirectories(dir.file(deep)));
  test::spit(dir.file("source.txt"), "deep");
  std::string saved = sys::currentDir();
  ASSERT_TRUE(sys::setCurrentDir(dir.path()));
  std::string target = deep + ".." + fs::separator() + std::string(40, 'h') + fs::separator() + "copy.txt";
  ASSERT_GT(dir.path().size() + target.size(), 260u);
  int64_t copied =
      run("<COPY type=\"file\" sourcelocation=\"source.txt\" targetlocation=\"" + target + "\"/>");
  bool exists = fs::fileExists(target);
  int64_t deleted = run("<DELETE type=\"file\" location=\"" + target + "\"/>");
  bool gone = !fs::fileExists(target);
  sys::setCurrentDir(saved);
  EXPECT_EQ(copied, 1);
  EXPECT_TRUE(exists);
  EXPECT_EQ(deleted, 1);
  EXPECT_TRUE(gone);
}

TEST_F(SystemErrors, AnUnwritableRunLogIsSaidOnceInTheJournal) {
  engine.run.journalPath = dir.file("journal.log");
  engine.journal.dateMask = "0";
  engine.runLog.path = dir.file("no-folder") + fs::separator() + "run.log";
  engine.log("first", "+0");
  engine.log("second", "+0");
  std::vector<std::string> journal = test::logLines(engine.run.journalPath);
  ASSERT_EQ(journal.size(), 1u);
  EXPECT_NE(journal[0].find("Impossible d'écrire dans le fichier journal " + engine.runLog.path),
            std::string::npos);
  EXPECT_NE(journal[0].find("a échoué (code "), std::string::npos) << journal[0];
}

TEST_F(SystemErrors, FileNamesThatAreNotUtf8PassThroughCopyAndDelete) {
  // Windows names are UTF-16: bytes that are not UTF-8 cannot name a file there.
  if (sys::kWindowsBuild) GTEST_SKIP();
  std::string name = dir.file("caf\xE9.txt");
  test::spit(name, "latin");
  engine.memos.set("src", name);
  engine.memos.set("dst", dir.file("copie-\xE9.txt"));
  EXPECT_EQ(run("<COPY type=\"file\" sourcelocation=\"#src#\" targetlocation=\"#dst#\"/>"), 1);
  EXPECT_EQ(test::slurp(dir.file("copie-\xE9.txt")), "latin");
  EXPECT_EQ(run("<DELETE type=\"file\" location=\"#dst#\"/>"), 1);
  EXPECT_FALSE(fs::pathExists(dir.file("copie-\xE9.txt")));
  engine.memos.set("dir", dir.path());
  EXPECT_EQ(run("<DELETE type=\"file\" location=\"#dir#\" filefilter=\"caf?.txt\"/>"), 1);
  EXPECT_FALSE(fs::pathExists(name));
}

TEST_F(SystemErrors, FailedStartOfAProgramSaysWhy) {
  // Windows would open a text file with the program associated with it.
  if (sys::kWindowsBuild) GTEST_SKIP();
  std::string notProgram = dir.file("plain.txt");
  test::spit(notProgram, "not a program");
  run("<EXEC programlocation=\"" + notProgram + "\" mode=\"wait\" blocktagerror=\"ignore\"/>");
  std::vector<std::string> lines = systemLines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_NE(lines[0].find("posix_spawn a échoué (code 13 : "), std::string::npos) << lines[0];
}

}  // namespace
}  // namespace orv
