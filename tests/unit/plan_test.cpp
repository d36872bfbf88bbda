// The plan: the real trigger decisions on a read-only actions base, with the
// reasons and the run-time dependencies it reports.
#include <gtest/gtest.h>

#include "engine/clock.h"
#include "engine/document.h"
#include "engine/engine.h"
#include "platform/files.h"
#include "test_support.h"
#include "tools/plan.h"

namespace orv {
namespace {

constexpr int64_t kNow = 1700000000;  // 2023-11-14 22:13:20, read as UTC

class Plan : public ::testing::Test {
 protected:
  void SetUp() override { clock::setForTesting([] { return clock::fromDateNumber(kNow); }); }
  void TearDown() override { clock::setForTesting({}); }
  std::vector<tools::PlannedAction> plan(const std::string& body) {
    std::string xml = "<ORVANTIS actionsfile='" + ini_ + "'>" + body + "</ORVANTIS>";
    doc_ = parseDocument(xml, "UTF-8");
    return tools::planActions(engine_, *doc_->root);
  }
  test::TempDir dir_;
  std::string ini_ = dir_.file("base.ini");
  Engine engine_;
  std::unique_ptr<ParsedDocument> doc_;
};

TEST_F(Plan, DecidesLikeTheRunWithoutTouchingTheBase) {
  std::string base =
      "[Action]\r\nOld = 2\r\nSame = 3\r\n[ActionDate]\r\nDaily = " + std::to_string(kNow - 86400) +
      "\r\nFresh = " + std::to_string(kNow - 60) + "\r\n";
  test::spit(ini_, base);
  auto p = plan(
      "<ACTION name='Old' version='3'/><ACTION name='Same' version='3'/>"
      "<ACTION name='Daily' versiondate='d:1'/><ACTION name='Fresh' versiondate='d:1'/>"
      "<ACTION name='Off' version='5' versiondate='disabled'/><ACTION name='New' version='1'/>");
  ASSERT_EQ(p.size(), 6u);
  EXPECT_EQ(p[0].verdict, "run");
  EXPECT_EQ(p[0].reasons, std::vector<std::string>{"version enregistrée 2 < 3"});
  EXPECT_EQ(p[1].verdict, "skip");
  EXPECT_EQ(p[1].reasons, std::vector<std::string>{"version enregistrée 3 = 3"});
  // Exactly one period ago is not yet due: the comparison is strict.
  EXPECT_EQ(p[2].verdict, "skip");
  EXPECT_EQ(p[3].verdict, "skip");
  EXPECT_EQ(p[3].reasons[0].rfind("période d:1 non écoulée depuis 14/11/2023 - 22:12:20", 0), 0u);
  EXPECT_EQ(p[4].verdict, "disabled");
  EXPECT_EQ(p[5].verdict, "run");  // a missing INI key reads "0"
  EXPECT_FALSE(p[0].log.empty());
  EXPECT_EQ(test::slurp(ini_), base);
  EXPECT_FALSE(fs::fileExists(ini_ + ".lock"));
}

TEST_F(Plan, MissingBaseIsNotCreated) {
  auto p = plan("<ACTION name='A' version='1'/>");
  ASSERT_EQ(p.size(), 1u);
  EXPECT_EQ(p[0].verdict, "run");
  EXPECT_EQ(p[0].reasons, std::vector<std::string>{"aucune version enregistrée"});
  EXPECT_FALSE(fs::fileExists(ini_));
  EXPECT_FALSE(fs::fileExists(ini_ + ".lock"));
}

TEST_F(Plan, NestedActionsDependOnWhatEnclosesThem) {
  test::spit(ini_, "[Action]\r\nOuter = 1\r\n");
  auto p = plan(
      "<ACTION name='Outer' version='1'><ACTION name='Inner' version='1'/></ACTION>"
      "<ACTION name='Top' version='2'><CHECK type='file' location='x'><FOR type='count' value='2'>"
      "<ACTION name='Deep' version='1'/></FOR></CHECK></ACTION>"
      "<ACTION version='1'/>");
  ASSERT_EQ(p.size(), 5u);
  EXPECT_EQ(p[1].verdict, "unreached");
  EXPECT_EQ(p[3].verdict, "run");
  ASSERT_EQ(p[3].dependsOn.size(), 2u);
  EXPECT_EQ(p[3].dependsOn[0].rfind("CHECK /ORVANTIS/ACTION[2]/CHECK", 0), 0u);
  EXPECT_EQ(p[3].dependsOn[1].rfind("FOR ", 0), 0u);
  EXPECT_EQ(p[4].verdict, "error");
  std::string json = tools::planJson("f.xml", p);
  EXPECT_NE(json.find("\"verdict\": \"unreached\""), std::string::npos);
}

}  // namespace
}  // namespace orv
