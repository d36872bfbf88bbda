// File helpers and CREATE's text formats.
#include "sysops/file_helpers.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/files.h"
#include "sysops/create.h"
#include "test_support.h"

namespace orv {

using V = std::vector<std::string>;

TEST(DirectoryTree, PrefixesFromTheShareOrTheFirstPart) {
  EXPECT_EQ(directoryTreePrefixes("\\\\server\\share\\new\\dir", '\\'),
            (V{"\\\\server", "\\\\server\\share", "\\\\server\\share\\new", "\\\\server\\share\\new\\dir"}));
  EXPECT_EQ(directoryTreePrefixes("C:\\a\\b\\", '\\'), (V{"C:", "C:\\a", "C:\\a\\b"}));
  EXPECT_EQ(directoryTreePrefixes("/tmp/x", '/'), (V{"/tmp", "/tmp/x"}));
  EXPECT_EQ(directoryTreePrefixes("rel/y", '/'), (V{"rel", "rel/y"}));
}

TEST(DirectoryTree, CreatesEveryMissingFolder) {
  test::TempDir dir;
  std::string deep = dir.file("a") + "\\b/c";
  EXPECT_TRUE(createDirectoryTree(deep));
  EXPECT_TRUE(fs::dirExists(dir.file("a") + "/b/c"));
  EXPECT_TRUE(createDirectoryTree(deep));  // already there
  test::spit(dir.file("file"), "x");
  EXPECT_FALSE(createDirectoryTree(dir.file("file") + "/sub"));
}

TEST(DirectoryTree, VolumeRoots) {
  for (const char* root : {"/", "\\", "C:", "c:\\", "\\\\server\\share\\", "//server/share", "\\\\server"})
    EXPECT_TRUE(isVolumeRoot(root)) << root;
  for (const char* other : {"", "C:\\dir", "/tmp", "\\\\server\\share\\dir", "dir", "."})
    EXPECT_FALSE(isVolumeRoot(other)) << other;
}

TEST(DirectoryTree, SeparatorsAreTrimmed) {
  EXPECT_EQ(withoutTrailingSeparator("c:\\dir\\\\/"), "c:\\dir");
  EXPECT_EQ(withoutTrailingSeparator("\\"), "");
}

class Tree : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* d : {"top", "top/data", "top/x.tmp", "top/x.tmp/inner.tmp"})
      fs::makeDirectory(dir.file(d));
    for (const char* f :
         {"top/a.tmp", "top/b.log", "top/data/c.tmp", "top/x.tmp/d.tmp", "top/x.tmp/inner.tmp/e.tmp"})
      test::spit(dir.file(f), "x");
  }
  bool exists(const char* name) { return fs::pathExists(dir.file(name)); }
  test::TempDir dir;
};

TEST_F(Tree, DeleteMatchingFilesEntersOnlyMatchingFolders) {
  DeleteTally tally = deleteMatchingFiles(dir.file("top"), "*.tmp", true);
  EXPECT_TRUE(tally.succeeded());
  EXPECT_EQ(tally.deleted, 3u);
  EXPECT_FALSE(exists("top/a.tmp"));
  EXPECT_TRUE(exists("top/data/c.tmp"));  // "data" does not match *.tmp
  EXPECT_FALSE(exists("top/x.tmp/d.tmp"));
  EXPECT_FALSE(exists("top/x.tmp/inner.tmp/e.tmp"));
  EXPECT_TRUE(exists("top/b.log"));
  EXPECT_FALSE(deleteMatchingFiles(dir.file("top"), "*.none", true).succeeded());
}

TEST_F(Tree, ListingPutsParentsBeforeChildren) {
  V all = listSubDirectories(dir.file("top"), "*.tmp", true);
  EXPECT_EQ(all, (V{joinPath(dir.file("top"), "x.tmp"),
                    joinPath(joinPath(dir.file("top"), "x.tmp"), "inner.tmp")}));
  EXPECT_EQ(listSubDirectories(dir.file("top"), "", false).size(), 2u);
}

TEST_F(Tree, ReadOnlyFilesNeedForce) {
  std::filesystem::permissions(dir.file("top/b.log"), std::filesystem::perms::owner_write,
                               std::filesystem::perm_options::remove);
  EXPECT_FALSE(removeTree(dir.file("top"), false));
  EXPECT_TRUE(exists("top/b.log"));
  EXPECT_TRUE(removeTree(dir.file("top"), true));
  EXPECT_FALSE(exists("top"));
}

TEST_F(Tree, CopyDirectoryFiltersFilesNotFolders) {
  EXPECT_TRUE(copyDirectory(dir.file("top"), dir.file("copy"), "*.tmp", true));
  EXPECT_TRUE(exists("copy/a.tmp"));
  EXPECT_FALSE(exists("copy/b.log"));
  EXPECT_TRUE(exists("copy/data/c.tmp"));
  EXPECT_TRUE(exists("copy/x.tmp/inner.tmp/e.tmp"));
  EXPECT_TRUE(copyDirectory(dir.file("top"), dir.file("flat"), "", false));
  EXPECT_TRUE(exists("flat/b.log"));
  EXPECT_FALSE(exists("flat/data"));
  EXPECT_FALSE(copyDirectory(dir.file("missing"), dir.file("none"), "", false));
}

TEST(FileCopy, ReplacesTheTargetAndRefusesItself) {
  test::TempDir dir;
  test::spit(dir.file("a"), std::string(3 << 20, 'a'));
  test::spit(dir.file("b"), "old content that is longer");
  EXPECT_TRUE(fs::copyFile(dir.file("a"), dir.file("b")));
  EXPECT_EQ(test::slurp(dir.file("b")), std::string(3 << 20, 'a'));
  EXPECT_FALSE(fs::copyFile(dir.file("a"), dir.file("a")));
  EXPECT_EQ(fs::fileSize(dir.file("a")), 3 << 20);  // copying onto itself loses nothing
  EXPECT_FALSE(fs::copyFile(dir.file("missing"), dir.file("c")));
  EXPECT_FALSE(fs::pathExists(dir.file("c")));
}

TEST(CreateFormat, FirstWordInOrderAsciiUtf8Unicode) {
  EXPECT_EQ(createFormat("utf8 ascii"), 24);
  EXPECT_EQ(createFormat("replace utf8"), 2);
  EXPECT_EQ(createFormat("unicode"), 25);
  EXPECT_EQ(createFormat("source"), 0);
  EXPECT_EQ(encodeCreateText("é", 2), "\xEF\xBB\xBF\xC3\xA9");
  EXPECT_EQ(encodeCreateText("é€", 24), "\xE9\x80");
  EXPECT_EQ(encodeCreateText("é", 0), "\xE9");
  EXPECT_EQ(encodeCreateText("a\xF0\x9F\x98\x80", 25), std::string("\xFF\xFE"
                                                                   "a\0\x3D\xD8\x00\xDE",
                                                                   8));
}

TEST(RewriteAtStart, KeepsLongerOldContent) {
  test::TempDir dir;
  test::spit(dir.file("f"), std::string(100, '.'));
  EXPECT_EQ(fs::writeAtStart(dir.file("f"), "abc"), fs::RewriteOutcome::Written);
  EXPECT_EQ(test::slurp(dir.file("f")), "abc" + std::string(97, '.'));
  EXPECT_EQ(fs::writeAtStart(dir.file("missing/f"), "x"), fs::RewriteOutcome::OpenFailed);
}

}  // namespace orv
