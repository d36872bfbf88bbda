#include "engine/document.h"

#include <gtest/gtest.h>

#include <string>

namespace orv {

TEST(Document, NodePathsNumberRepeatedSteps) {
  auto doc = parseDocument(
      "<?xml version='1.0'?><!DOCTYPE ORVANTIS><ORVANTIS><ACTION/><!--c--><ACTION><COPY/><COPY/>"
      "<DELETE/><![CDATA[x]]><?pi data?></ACTION><!--d--></ORVANTIS>",
      "");
  ASSERT_EQ(doc->status, 0);
  const DirectiveNode* root = doc->root;
  EXPECT_EQ(doc->document->path(), "/");
  EXPECT_EQ(root->path(), "/ORVANTIS");
  EXPECT_EQ(root->depth, 2);
  ASSERT_EQ(root->children.size(), 4u);
  EXPECT_EQ(root->children[0]->path(), "/ORVANTIS/ACTION");
  EXPECT_EQ(root->children[1]->path(), "/ORVANTIS/#comment");
  EXPECT_EQ(root->children[1]->text, "c");
  const DirectiveNode* second = root->children[2];
  EXPECT_EQ(second->path(), "/ORVANTIS/ACTION[2]");
  EXPECT_EQ(second->children[1]->path(), "/ORVANTIS/ACTION[2]/COPY[2]");
  EXPECT_EQ(second->children[2]->path(), "/ORVANTIS/ACTION[2]/DELETE");
  EXPECT_EQ(second->children[2]->depth, 4);
  EXPECT_EQ(second->children[3]->path(), "/ORVANTIS/ACTION[2]/#cdata");
  EXPECT_EQ(second->children[3]->text, "x");
  EXPECT_EQ(second->children[4]->path(), "/ORVANTIS/ACTION[2]/#instruction");
  EXPECT_EQ(root->children[3]->path(), "/ORVANTIS/#comment[2]");
  EXPECT_EQ(doc->document->children[0]->path(), "/#dtd");
}

TEST(Document, AttributesKeepOrderAndResolveEntities) {
  auto doc = parseDocument("<R b='2' a='x &amp; &#233;'>text</R>", "");
  ASSERT_EQ(doc->status, 0);
  ASSERT_EQ(doc->root->attributes.size(), 2u);
  EXPECT_EQ(doc->root->attributes[0].first, "b");
  EXPECT_EQ(doc->root->attributes[1].second, "x & é");
  EXPECT_EQ(doc->root->text, "text");
}

TEST(Document, ErrorsCarryCodePositionAndBothTexts) {
  auto doc = parseDocument("<A>\n<B>\n</C></A>", "");
  EXPECT_EQ(doc->status, 7);
  EXPECT_EQ(doc->line, 3u);
  EXPECT_EQ(doc->column, 3u);
  EXPECT_EQ(doc->errorText, "mismatched tag");
  EXPECT_EQ(describeXmlError(doc->status), "Balise qui ne correspond pas.");
  EXPECT_EQ(parseDocument("<?xml version='1.0'?>", "")->status, 3);
  EXPECT_EQ(parseDocument("<A x='1' x='2'/>", "")->status, 8);
}

TEST(Document, FrenchDescriptions) {
  EXPECT_EQ(describeXmlError(0), "Aucune erreur.");
  EXPECT_EQ(describeXmlError(40), "Un préfixe ne doit pas empiéter sur un espace de noms réservé.");
  EXPECT_EQ(describeXmlError(41), "Erreur inconnu.");
  EXPECT_EQ(describeXmlError(256 + 2), "Erreur de syntaxe.");  // read as an unsigned byte
  EXPECT_EQ(parserErrorText(0), "");
  EXPECT_EQ(parserErrorText(100000), "");
}

TEST(Document, CodesPastTheFrenchTableKeepTheParsersText) {
  // Nested entities that would expand a billion times: expat stops them.
  std::string doc = "<!DOCTYPE R [<!ENTITY a '0123456789'>";
  std::string previous = "a";
  for (char c = 'b'; c <= 'j'; ++c) {
    std::string refs;
    for (int i = 0; i < 10; ++i) refs += "&" + previous + ";";
    doc += std::string("<!ENTITY ") + c + " '" + refs + "'>";
    previous = std::string(1, c);
  }
  doc += "]><R>&j;</R>";
  auto parsed = parseDocument(doc, "");
  ASSERT_NE(parsed->status, 0);
  EXPECT_GE(parsed->status, 41) << parsed->errorText;
  EXPECT_EQ(describeXmlError(parsed->status), "Erreur inconnu.");
  EXPECT_FALSE(parsed->errorText.empty());
}

TEST(Document, ForcedEncodingOverridesTheDeclaration) {
  std::string latin1 = "<?xml version='1.0' encoding='UTF-8'?><R a='caf\xE9'/>";
  EXPECT_NE(parseDocument(latin1, "")->status, 0);  // not valid UTF-8
  auto doc = parseDocument(latin1, "ISO-8859-1");
  ASSERT_EQ(doc->status, 0);
  EXPECT_EQ(doc->root->attributes[0].second, "café");
  std::string utf16("<\0R\0/\0>\0", 8);
  EXPECT_EQ(parseDocument(utf16, "UTF-16")->status, 0);
}

TEST(Document, VeryDeepDocumentsParseAndFreeWithoutRecursion) {
  const int depth = 200000;
  std::string xml;
  for (int i = 0; i < depth; ++i) xml += "<E>";
  for (int i = 0; i < depth; ++i) xml += "</E>";
  auto doc = parseDocument(xml, "");
  ASSERT_EQ(doc->status, 0);
  const DirectiveNode* n = doc->root;
  while (!n->children.empty()) n = n->children[0];
  EXPECT_EQ(n->depth, depth + 1);
  doc.reset();  // must not overflow the stack
}

TEST(Document, BlocksSplitInsideCharacters) {
  // A multi-byte character straddling the 16384-byte block boundary.
  std::string xml = "<R a='" + std::string(16384 - 7, 'x') + "é'/>";
  auto doc = parseDocument(xml, "");
  ASSERT_EQ(doc->status, 0);
  EXPECT_EQ(doc->root->attributes[0].second.substr(16384 - 7), "é");
}

TEST(Document, NamesAreHeldOnceWhateverTheirNumber) {
  // Enough distinct names to outgrow the name table several times.
  std::string xml = "<R>";
  for (int i = 0; i < 300; ++i)
    xml += "<E" + std::to_string(i) + " a" + std::to_string(i) + "='v" + std::to_string(i) + "' b='x'/>";
  xml += "<E7 a7='again' b='y'/></R>";
  auto doc = parseDocument(xml, "");
  ASSERT_EQ(doc->status, 0);
  const auto& kids = doc->root->children;
  ASSERT_EQ(kids.size(), 301u);
  for (int i = 0; i < 300; ++i) {
    EXPECT_EQ(kids[i]->name, "E" + std::to_string(i));
    EXPECT_EQ(kids[i]->attributes[0].first, "a" + std::to_string(i));
    EXPECT_EQ(kids[i]->attributes[0].second, "v" + std::to_string(i));
  }
  // The same name is the same stored text, so steps are counted per name.
  EXPECT_EQ(kids[300]->name.data(), kids[7]->name.data());
  EXPECT_EQ(kids[300]->attributes[0].first.data(), kids[7]->attributes[0].first.data());
  EXPECT_EQ(kids[300]->attributes[1].first.data(), kids[0]->attributes[1].first.data());
  EXPECT_EQ(kids[300]->path(), "/R/E7[2]");
  EXPECT_EQ(doc->names.size(), 300u * 2 + 2);
}

TEST(Document, ValuesLargerThanAStorageBlockStayWhole) {
  std::string big(5u << 20, 'v');  // more than the largest block
  auto doc = parseDocument("<R a='x' b='" + big + "' c='y'><S d='z'/></R>", "");
  ASSERT_EQ(doc->status, 0);
  const auto& attrs = doc->root->attributes;
  ASSERT_EQ(attrs.size(), 3u);
  EXPECT_EQ(attrs[0].second, "x");
  EXPECT_EQ(attrs[1].second, big);
  EXPECT_EQ(attrs[2].second, "y");
  EXPECT_EQ(doc->root->children[0]->attributes[0].second, "z");
}

}  // namespace orv
