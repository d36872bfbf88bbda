// The directive language table: its agreement with the dispatch table, the
// number rule and the schema file, and the validator's findings.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>

#include "engine/document.h"
#include "engine/interpreter.h"
#include "engine/text_util.h"
#include "tools/language.h"
#include "tools/validate.h"

namespace orv {
namespace {

using lang::AttributeRule;
using lang::TagRule;
using lang::ValueKind;

// ---- The schema, written from the table ----------------------------------

std::string keywordType(const AttributeRule& a) {
  std::string out = "      <xs:simpleType>\n        <xs:restriction base=\"xs:string\">\n";
  out += "          <xs:enumeration value=\"\"/>\n";
  for (const std::string& word : a.keywords) out += "          <xs:enumeration value=\"" + word + "\"/>\n";
  return out + "        </xs:restriction>\n      </xs:simpleType>\n";
}

const char* namedType(const AttributeRule& a) {
  switch (a.kind) {
    case ValueKind::Number: return "number";
    case ValueKind::Policy: return "policy";
    case ValueKind::Blocktag: return "blocktag";
    case ValueKind::Version: return "version";
    case ValueKind::Period: return "period";
    case ValueKind::VersionPeriod: return "versionPeriod";
    default: return a.required ? "nonEmpty" : "xs:string";
  }
}

std::string attributeDecl(const AttributeRule& a, const std::string& name) {
  std::string use = a.required ? " use=\"required\"" : "";
  if (a.kind != ValueKind::Keyword)
    return "    <xs:attribute name=\"" + name + "\" type=\"" + namedType(a) + "\"" + use + "/>\n";
  return "    <xs:attribute name=\"" + name + "\"" + use + ">\n" + keywordType(a) + "    </xs:attribute>\n";
}

std::string complexType(const TagRule& rule) {
  std::string out = "  <xs:complexType name=\"" + std::string(rule.root ? "root" : rule.tag) + "\" mixed=\"true\">\n";
  out += "    <xs:group ref=\"directives\" minOccurs=\"0\" maxOccurs=\"unbounded\"/>\n";
  for (const AttributeRule& a : rule.attributes) {
    if (a.name.back() != '#') {
      out += attributeDecl(a, a.name);
      continue;
    }
    // Numbered parameters: the schema names the first twenty.
    for (int n = 1; n <= 20; ++n) out += attributeDecl(a, a.name.substr(0, a.name.size() - 1) + std::to_string(n));
  }
  return out + "  </xs:complexType>\n";
}

std::string simpleTypes() {
  return R"(  <xs:simpleType name="nonEmpty">
    <xs:restriction base="xs:string"><xs:minLength value="1"/></xs:restriction>
  </xs:simpleType>
  <!-- Text that the number rule reads digits from (empty allowed). -->
  <xs:simpleType name="number">
    <xs:restriction base="xs:string"><xs:pattern value="([ \t]*[+\-]?([0-9]|$[0-9A-Fa-f]|%[01]).*)?"/></xs:restriction>
  </xs:simpleType>
  <xs:simpleType name="policyWord">
    <xs:restriction base="xs:string">
      <xs:enumeration value="inherit"/><xs:enumeration value="block"/><xs:enumeration value="ignore"/>
    </xs:restriction>
  </xs:simpleType>
  <xs:simpleType name="policy"><xs:union memberTypes="policyWord number"/></xs:simpleType>
  <xs:simpleType name="blocktagWord">
    <xs:restriction base="xs:string">
      <xs:enumeration value="pie"/><xs:enumeration value="block"/><xs:enumeration value="pne"/>
      <xs:enumeration value="signalerror"/>
    </xs:restriction>
  </xs:simpleType>
  <xs:simpleType name="blocktag"><xs:union memberTypes="blocktagWord number"/></xs:simpleType>
  <xs:simpleType name="disabledWord">
    <xs:restriction base="xs:string"><xs:enumeration value="disabled"/></xs:restriction>
  </xs:simpleType>
  <xs:simpleType name="version"><xs:union memberTypes="disabledWord number"/></xs:simpleType>
  <!-- unit:count entries separated by commas; units y o w d h m s. -->
  <xs:simpleType name="period">
    <xs:restriction base="xs:string"><xs:pattern value="([yowdhms](:[^,]*)?(,[yowdhms](:[^,]*)?)*)?"/></xs:restriction>
  </xs:simpleType>
  <xs:simpleType name="offWord">
    <xs:restriction base="xs:string">
      <xs:enumeration value="-1"/><xs:enumeration value="disabled"/>
    </xs:restriction>
  </xs:simpleType>
  <xs:simpleType name="versionPeriod"><xs:union memberTypes="offWord period"/></xs:simpleType>
)";
}

std::string schemaFromTable() {
  std::string out = R"(<?xml version="1.0" encoding="UTF-8"?>
<!-- Orvantis directive files, canonical spelling: upper-case tags, lower-case
     attributes and keywords (the program itself accepts any case for most of
     them). Written from the program's directive language table; the test
     language_test checks that both agree. Not expressible here: an ACTION
     needs a version or a versiondate; tags declared by plug-ins. -->
<xs:schema xmlns:xs="http://www.w3.org/2001/XMLSchema">
  <xs:element name="ORVANTIS" type="root"/>
  <xs:group name="directives">
    <xs:choice>
)";
  for (const TagRule& rule : lang::directiveLanguage())
    if (!rule.root) out += "      <xs:element name=\"" + rule.tag + "\" type=\"" + rule.tag + "\"/>\n";
  out += "    </xs:choice>\n  </xs:group>\n" + simpleTypes();
  for (const TagRule& rule : lang::directiveLanguage()) out += complexType(rule);
  return out + "</xs:schema>\n";
}

TEST(Language, SchemaFileIsWrittenFromTheTable) {
  std::string path = std::string(ORV_SOURCE_DIR) + "/schema/orvantis.xsd";
  std::string expected = schemaFromTable();
  if (const char* update = std::getenv("ORV_WRITE_SCHEMA"); update && *update) std::ofstream(path) << expected;
  std::ifstream in(path, std::ios::binary);
  ASSERT_TRUE(in) << path;
  std::stringstream have;
  have << in.rdbuf();
  EXPECT_EQ(have.str(), expected) << "rerun with ORV_WRITE_SCHEMA=1 to rewrite " << path;
}

// ---- The table against the program -------------------------------------

TEST(Language, EveryDispatchedTagIsInTheTable) {
  // Tags of the interpreter's table, built or being built.
  const char* tags[] = {"ACTION", "CHECK", "COPY", "EXEC", "REGISTRY", "LOCALUSERGROUP", "RENAMEDISK",
                        "CREATE", "SHORTCUT", "SCREENSHOT", "MSGBOX", "SESSION", "DELETE", "PAUSE", "MAIL",
                        "MEMO", "INPUTBOX", "PATHBOX", "FILEBOX", "HTTP", "COMOGUI", "WAIT", "LOG", "WINDOW",
                        "FOR", "WHILE", "ORVANTIS", "PLUGIN", "LIB", "SYSTRAY"};
  for (const char* tag : tags) EXPECT_NE(lang::findDirective(tag), nullptr) << tag;
  for (const TagRule& rule : lang::directiveLanguage()) {
    if (findHandler(rule.tag)) continue;
    bool listed = false;
    for (const char* tag : tags) listed = listed || rule.tag == tag;
    EXPECT_TRUE(listed) << rule.tag << " is neither dispatched nor an interpreter tag";
  }
  EXPECT_EQ(lang::findDirective("action"), nullptr);  // tags are compared with their case
}

TEST(Language, AttributesAreCanonicalAndUnique) {
  for (const TagRule& rule : lang::directiveLanguage()) {
    std::set<std::string> seen;
    for (const AttributeRule& a : rule.attributes) {
      EXPECT_EQ(a.name, toLower(a.name)) << rule.tag;
      EXPECT_TRUE(seen.insert(a.name).second) << rule.tag << " " << a.name;
      if (!a.fallback.empty()) {
        EXPECT_NE(std::find(a.keywords.begin(), a.keywords.end(), a.fallback), a.keywords.end())
            << rule.tag << " " << a.name;
      }
    }
  }
  const TagRule& lib = *lang::findDirective("LIB");
  EXPECT_NE(lang::findAttribute(lib, "ptype12"), nullptr);
  EXPECT_EQ(lang::findAttribute(lib, "ptype"), nullptr);
  EXPECT_EQ(lang::findAttribute(lib, "ptype0"), nullptr);
  EXPECT_EQ(lang::findAttribute(lib, "ptypex"), nullptr);
}

TEST(Language, DigitTestAgreesWithTheNumberRule) {
  // Whenever the validator would say "reads as 0", the run reads 0 indeed,
  // and text it accepts as written digits reads as their value.
  const char* texts[] = {"", " ", "abc", "-", "+", "$", "$g", "%", "%2", "- 5", "\t7", " -$1F", "%101",
                         "0", "007", "12abc", "$ff", "-0", "+3", "x1", "1.5", "١"};
  for (const char* t : texts) {
    if (!lang::hasNumberDigits(t)) {
      EXPECT_EQ(numberValue(t), 0) << '"' << t << '"';
    }
  }
  EXPECT_TRUE(lang::hasNumberDigits(" -$1F"));
  EXPECT_TRUE(lang::hasNumberDigits("%101"));
  EXPECT_FALSE(lang::hasNumberDigits("- 5"));
  EXPECT_FALSE(lang::hasNumberDigits("$g"));
}

TEST(Language, SuggestionsAndPeriods) {
  EXPECT_EQ(lang::editDistance("verison", "version"), 1u);  // a swapped pair
  EXPECT_EQ(lang::editDistance("", "abc"), 3u);
  EXPECT_EQ(lang::closest("ACTON", {"ACTION", "EXEC"}), "ACTION");
  EXPECT_EQ(lang::closest("zzzzzz", {"ACTION", "EXEC"}), "");
  EXPECT_EQ(lang::unknownPeriodUnits("d:1,W:2,s"), std::vector<std::string>{});
  EXPECT_EQ(lang::unknownPeriodUnits("d:1, h:2,x:3,"), (std::vector<std::string>{" h:2", "x:3", ""}));
}

// ---- Findings ----------------------------------------------------------------

std::vector<std::string> formatted(const std::vector<tools::Finding>& list) {
  std::vector<std::string> out;
  for (const tools::Finding& f : list) out.push_back(tools::formatFinding("f", f));
  return out;
}

// The findings of /validate's one-pass reading, checked against the same
// checks run over the loader's tree.
std::vector<std::string> findings(const std::string& xml, tools::ValidateOptions options = {}) {
  std::vector<std::string> stream = formatted(tools::validateText(xml, "UTF-8", options));
  EXPECT_EQ(stream, formatted(tools::validateDocument(*parseDocument(xml, "UTF-8"), options)));
  return stream;
}

TEST(Validate, PositionsAndSeverities) {
  std::string xml =
      "<ORVANTIS>\n"
      "  <ACTION name=\"a\" Verison=\"2\">\n"
      "    <COPPY/>\n"
      "  </ACTION>\n"
      "</ORVANTIS>\n";
  EXPECT_EQ(findings(xml), (std::vector<std::string>{
                               "f:2:3: avertissement: attribut inconnu Verison pour ACTION ; vouliez-vous dire version ?",
                               "f:2:3: erreur: ACTION sans version ni versiondate : l'action ne s'exécutera jamais",
                               "f:3:5: erreur: balise inconnue COPPY ; vouliez-vous dire COPY ?"}));
  EXPECT_EQ(findings("<ORVANTIS>\n<ACTION name='a' version='1'>\n</ORVANTIS>"),
            std::vector<std::string>{"f:3:3: erreur: XML mal formé : Balise qui ne correspond pas. (mismatched tag)"});
}

TEST(Validate, StoredNamesAndLoaders) {
  std::string reads =
      "<ORVANTIS><ACTION name='a' version='1'>"
      "<CHECK type='memo' name='m'/><CHECK type='exec' name='e'/><CHECK type='lib' name='L'/>"
      "<MEMO type='internal' name='m' value='1'/><EXEC name='e' programlocation='p'/>"
      "<LIB name='l' function='f'/>"
      "<CHECK type='memo' name='m'/><CHECK type='exec' name='e'/><CHECK type='lib' name='L'/>"
      "<CHECK type='memo' name='_action.name_'/>"
      "</ACTION></ORVANTIS>";
  EXPECT_EQ(findings(reads).size(), 3u);  // only the three reads before their definitions
  std::string afterLoader =
      "<ORVANTIS><ACTION name='a' version='1'><MEMO type='ini' location='x.ini'/>"
      "<CHECK type='memo' name='fromIni'/></ACTION></ORVANTIS>";
  EXPECT_TRUE(findings(afterLoader).empty());
  std::string memoSwitch = "<ORVANTIS><ACTION name='a' version='1'><CHECK type='memo' name='x'/></ACTION></ORVANTIS>";
  EXPECT_EQ(findings(memoSwitch).size(), 1u);
  EXPECT_TRUE(findings(memoSwitch, {.memoSwitch = true}).empty());
}

TEST(Validate, PluginTagsAreWarningsNamingThePlugin) {
  std::string xml =
      "<ORVANTIS><ACTION name='a' version='1'><HELLO/><PLUGIN location='p.dll'/><HELLO/>"
      "<PLUGIN type='close' name='HELLO'/></ACTION></ORVANTIS>";
  std::vector<std::string> got = findings(xml);
  ASSERT_EQ(got.size(), 2u);
  EXPECT_NE(got[0].find("erreur: balise inconnue HELLO"), std::string::npos);
  EXPECT_NE(got[1].find("avertissement: balise HELLO inconnue : elle doit être déclarée par le plug-in p.dll"),
            std::string::npos);
}

TEST(Validate, ValuesReadByFallback) {
  std::string xml =
      "<ORVANTIS blocktagerror='stop'><ACTION name='a' version='Disabled' versiondate='D:1,j:2'>"
      "<SYSTRAY type='popup'/><DELETE type='File'/><COPY type='FILE' blocktagerror='-1'/>"
      "<WAIT timeout='ten' blocktag='7'/><ORVANTIS waitatclose='$10'/></ACTION></ORVANTIS>";
  EXPECT_EQ(findings(xml), (std::vector<std::string>{
      "f:1:1: avertissement: valeur stop non reconnue pour l'attribut blocktagerror de ORVANTIS : inherit sera utilisé",
      "f:1:32: avertissement: la valeur Disabled de l'attribut version de ACTION se lit comme le nombre 0",
      "f:1:32: avertissement: unité de période inconnue dans j:2 (attribut versiondate de ACTION) : cette entrée compte 0 seconde",
      "f:1:90: avertissement: valeur popup non reconnue pour l'attribut type de SYSTRAY : create sera utilisé",
      "f:1:113: avertissement: valeur File non reconnue pour l'attribut type de DELETE",
      "f:1:172: avertissement: la valeur ten de l'attribut timeout de WAIT se lit comme le nombre 0"}));
}

}  // namespace
}  // namespace orv
