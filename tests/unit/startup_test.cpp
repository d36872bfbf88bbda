#include "engine/startup.h"

#include <gtest/gtest.h>

#include "engine/memo_store.h"
#include "test_support.h"

namespace orv {

TEST(Encoding, ByteOrderMarkDecides) {
  test::TempDir dir;
  auto detect = [&](const std::string& bytes) {
    test::spit(dir.file("f.xml"), bytes);
    return detectEncoding(dir.file("f.xml"));
  };
  EXPECT_EQ(detect("\xFF\xFE<\0"), DocumentEncoding::Utf16);
  EXPECT_EQ(detect(std::string("\xFF\xFE\0\0", 4)), DocumentEncoding::Utf16);
  EXPECT_EQ(detect("\xEF\xBB\xBF<R/>"), DocumentEncoding::Utf8);
  EXPECT_EQ(detect("\xFE\xFF\0<"), DocumentEncoding::Automatic);
  EXPECT_EQ(detect(std::string("\0\0\xFE\xFF", 4)), DocumentEncoding::Automatic);
  EXPECT_EQ(detect("<R/>"), DocumentEncoding::Latin1);
  EXPECT_EQ(detect(""), DocumentEncoding::Latin1);
  EXPECT_EQ(detectEncoding(dir.file("missing.xml")), DocumentEncoding::None);
  EXPECT_EQ(detectEncoding(dir.path()), DocumentEncoding::None);  // a folder is no file
}

TEST(MemoStore, KindsAndBlocks) {
  MemoStore memos;
  memos.set("a", "1");
  EXPECT_EQ(memos.find("a")->kind, kMemoText);
  memos.set("a", "2", kMemoIni);
  memos.set("a", "3");  // a writer that sets no kind keeps it
  EXPECT_EQ(memos.find("a")->kind, kMemoIni);
  EXPECT_EQ(memos.find("a")->value, "3");
  EXPECT_EQ(memos.find("A"), nullptr);
  memos.setBlock("f", std::string("abc\0def", 7));
  EXPECT_EQ(memos.textOf(*memos.find("f")), "abc");  // the block is read up to its terminator
  // An address that is not one of our blocks is never dereferenced.
  MemoEntry forged{"12345", kMemoBlock};
  EXPECT_EQ(memos.textOf(forged), "12345");
  memos.remove("f");
  EXPECT_EQ(memos.find("f"), nullptr);
}

}  // namespace orv
