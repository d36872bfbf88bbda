// DELETE never follows a symbolic link or junction out of the tree it deletes.
#include <gtest/gtest.h>

#include <filesystem>

#include "engine/document.h"
#include "engine/engine.h"
#include "engine/interpreter.h"
#include "platform/files.h"
#include "sysops/file_helpers.h"
#include "test_support.h"

namespace orv {

namespace stdfs = std::filesystem;

class Links : public ::testing::Test {
 protected:
  void SetUp() override {
    engine.runLog.path = dir.file("run.log");
    fs::makeDirectory(dir.file("outside"));
    test::spit(dir.file("outside/keep.txt"), "precious");
    fs::makeDirectory(dir.file("tree"));
    fs::makeDirectory(dir.file("tree/sub"));
    test::spit(dir.file("tree/sub/f.txt"), "x");
    std::error_code ec;
    stdfs::create_directory_symlink(dir.file("outside"), dir.file("tree/sub/link"), ec);
    if (!ec) stdfs::create_symlink(dir.file("outside/keep.txt"), dir.file("tree/file-link"), ec);
    if (ec) GTEST_SKIP() << "links cannot be made here: " << ec.message();
  }
  int64_t run(const std::string& directive) {
    doc =
        parseDocument("<ORVANTIS><ACTION name=\"a\" version=\"1\">" + directive + "</ACTION></ORVANTIS>", "");
    return interpretNode(engine, *doc->root->children[0]->children[0]);
  }
  void expectOutsideIntact() { EXPECT_EQ(test::slurp(dir.file("outside/keep.txt")), "precious"); }
  std::string attr(const std::string& name) { return dir.file(name); }
  test::TempDir dir;
  Engine engine;
  std::unique_ptr<ParsedDocument> doc;
};

TEST_F(Links, RemoveTreeRemovesTheLinksOnly) {
  EXPECT_TRUE(removeTree(dir.file("tree"), true));
  EXPECT_FALSE(fs::pathExists(dir.file("tree")));
  expectOutsideIntact();
}

TEST_F(Links, DeleteDirectoryTypes) {
  EXPECT_EQ(run("<DELETE type=\"directory\" location=\"" + attr("tree/sub") +
                "\" filefilter=\"*\" mode=\"recursive\"/>"),
            1);
  expectOutsideIntact();
  EXPECT_FALSE(fs::pathExists(dir.file("tree/sub/link")));
  EXPECT_EQ(run("<DELETE type=\"cleandir\" location=\"" + attr("tree") + "\"/>"), 1);
  expectOutsideIntact();
  EXPECT_TRUE(fs::dirExists(dir.file("tree")));
  EXPECT_FALSE(fs::pathExists(dir.file("tree/sub")));
  EXPECT_FALSE(fs::pathExists(dir.file("tree/file-link")));
}

TEST_F(Links, DeleteFilesRecursiveDoesNotEnterLinkedFolders) {
  EXPECT_EQ(
      run("<DELETE type=\"file\" location=\"" + attr("tree") + "\" filefilter=\"*\" mode=\"recursive\"/>"),
      1);
  expectOutsideIntact();
  EXPECT_FALSE(fs::pathExists(dir.file("tree/sub/f.txt")));
}

TEST_F(Links, ALinkAsTheLocationIsRemovedNotEmptied) {
  EXPECT_EQ(run("<DELETE type=\"directory\" location=\"" + attr("tree/sub/link") + "\"/>"), 1);
  expectOutsideIntact();
  EXPECT_FALSE(fs::pathExists(dir.file("tree/sub/link")));
}

}  // namespace orv
