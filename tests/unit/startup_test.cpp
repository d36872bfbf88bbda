#include "engine/startup.h"

#include <gtest/gtest.h>

#include "engine/document.h"
#include "engine/engine.h"
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

// The file is parsed as it is read, in blocks: a fault past the first block is
// placed exactly as when the whole text is parsed at once.
TEST(Encoding, FileParsedInBlocksPlacesErrorsLikeTheWholeText) {
  test::TempDir dir;
  std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ORVANTIS>\n";
  while (xml.size() < 200000) xml += "<LOG text=\"\xC3\xA9t\xC3\xA9 line\"/>\n";
  xml += "<LOG text='x'></ORVANTIS>\n";
  test::spit(dir.file("big.xml"), xml);
  Engine engine;
  engine.run.directiveFile = dir.file("big.xml");
  engine.run.documentEncoding = DocumentEncoding::Utf8;
  engine.run.journalPath = dir.file("journal.log");
  engine.run.silent = true;  // no message box for the malformed file
  std::unique_ptr<ParsedDocument> holder;
  EXPECT_EQ(loadDirectiveDocument(engine, holder), nullptr);
  auto whole = parseDocument(xml, "UTF-8");
  ASSERT_NE(whole->status, 0);
  std::string journal = test::slurp(dir.file("journal.log"));
  EXPECT_NE(journal.find("Erreur ligne : " + std::to_string(whole->line)), std::string::npos) << journal;
  EXPECT_NE(journal.find("Caractère n° : " + std::to_string(whole->column)), std::string::npos) << journal;
  engine.run.journalPath.clear();
  test::spit(dir.file("good.xml"), xml.substr(0, xml.size() - 27) + "</ORVANTIS>\n");
  engine.run.directiveFile = dir.file("good.xml");
  ASSERT_NE(loadDirectiveDocument(engine, holder), nullptr);
  EXPECT_EQ(holder->root->children.size(),
            parseDocument(xml.substr(0, xml.size() - 27) + "</ORVANTIS>\n", "UTF-8")->root->children.size());
  EXPECT_EQ(std::string(holder->root->children.back()->attributes[0].second), "\xC3\xA9t\xC3\xA9 line");
  test::spit(dir.file("empty.xml"), "");
  engine.run.directiveFile = dir.file("empty.xml");
  EXPECT_EQ(loadDirectiveDocument(engine, holder), nullptr);
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
