// Action triggers: period parsing, the version rules, the date rules, and the
// actions base records they read and write.
#include <gtest/gtest.h>
#include "engine/period.h"

#include <algorithm>

#include "actions/action.h"
#include "actions/actions_base.h"
#include "engine/clock.h"
#include "engine/document.h"
#include "engine/interpreter.h"
#include "engine/engine.h"
#include "platform/system.h"
#include "engine/registry.h"
#include "test_support.h"

namespace orv {
namespace {

constexpr int64_t kNow = 1700000000;  // 2023-11-14 22:13:20, read as UTC

class Triggers : public ::testing::Test {
 protected:
  void SetUp() override {
    engine_.runLog.path = dir_.file("run.log");
    engine_.runLog.dateMask = "0";
    engine_.root.actionsFile = dir_.file("Actions.ini");
    clock::setForTesting([] { return clock::fromDateNumber(kNow); });
  }
  void TearDown() override {
    clock::setForTesting({});
  }
  void stored(const std::string& ini) { test::spit(engine_.root.actionsFile, ini); }
  // Log lines written since the last call, tabs and prefixes kept.
  std::vector<std::string> newLines() {
    std::vector<std::string> all = test::logLines(engine_.runLog.path), out(all.begin() + seen_, all.end());
    seen_ = all.size();
    return out;
  }
  bool logged(const std::string& text) {
    for (const std::string& l : newLines())
      if (l.find(text) != std::string::npos) return true;
    return false;
  }

  test::TempDir dir_;
  test::PrivateRegistry registry_{dir_};
  Engine engine_;
  size_t seen_ = 0;
};

TEST_F(Triggers, PeriodsAddUpTheirUnits) {
  EXPECT_EQ(parsePeriod(engine_, "d:1"), 86400);
  EXPECT_EQ(parsePeriod(engine_, "W:2"), 2 * 604800) << "units ignore case";
  EXPECT_EQ(parsePeriod(engine_, "d:1,h:-1"), 86400 - 3600);
  EXPECT_EQ(parsePeriod(engine_, "y:1,o:1,m:2,s:5"), 31556926 + 2629743 + 120 + 5);
  EXPECT_EQ(parsePeriod(engine_, "d"), 0) << "no count";
  newLines();
  EXPECT_EQ(parsePeriod(engine_, " d:1"), 0);
  std::vector<std::string> lines = newLines();
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], "Impossible de localiser indice de période dans le champ =>  d:1");
  EXPECT_EQ(lines[1], "Indice inconnu =>  d");
  EXPECT_EQ(lines[2], "La période de temp entre deux activation est évalué à 0 secondes.");
  EXPECT_EQ(parsePeriod(engine_, ""), 0);
}

TEST_F(Triggers, VersionRules) {
  stored("[Action]\r\nSetup = 3\r\n");
  EXPECT_FALSE(versionTrigger(engine_, "Setup", "3"));
  EXPECT_TRUE(logged("L'action Setup est à la version : 3 sur la machine."));
  EXPECT_TRUE(versionTrigger(engine_, "Setup", "4"));
  EXPECT_TRUE(logged("L'action Setup a une version différente"));
  EXPECT_FALSE(versionTrigger(engine_, "Setup", "2"));
  EXPECT_TRUE(logged("L'action Setup a une version supérieur !"));
  EXPECT_TRUE(versionTrigger(engine_, "Setup", "Disabled")) << "a version without digits is 0";
  EXPECT_TRUE(logged("L'action Setup est à Disabled."));
  EXPECT_FALSE(versionTrigger(engine_, "Setup", "3.9")) << "2.5 counts as 2";
  stored("[Action]\r\nSetup = 9\r\n");
  EXPECT_TRUE(versionTrigger(engine_, "Setup", "10")) << "compared as numbers";
  EXPECT_TRUE(versionTrigger(engine_, "Other", "1")) << "a missing INI record reads 0";
  engine_.root.actionsFile.clear();
  EXPECT_TRUE(versionTrigger(engine_, "Setup", "1")) << "no actions base: always due";
}

TEST_F(Triggers, DateRulesAreStrict) {
  stored("[ActionDate]\r\nDaily = " + std::to_string(kNow - 86400) + "\r\n");
  EXPECT_FALSE(dateTrigger(engine_, "Daily", "d:1")) << "next date equal to now";
  EXPECT_TRUE(logged("Date de prochaine execution : 14/11/2023 - 22:13:20 (1700000000)."));
  stored("[ActionDate]\r\nDaily = " + std::to_string(kNow - 86401) + "\r\n");
  EXPECT_TRUE(dateTrigger(engine_, "Daily", "d:1"));
  EXPECT_TRUE(
      logged("La date de dernière execution dépasse celle demandée. L'action Daily doit s'executer."));
  EXPECT_TRUE(dateTrigger(engine_, "Never", "d:1"));
  EXPECT_TRUE(logged("L'action n'a jamais initialisé de date."));
}

TEST_F(Triggers, PeriodsAndDatesTooLongToComputeAreHeld) {
  EXPECT_EQ(parsePeriod(engine_, "s:9223372036854775807,s:1"), INT64_MAX);
  EXPECT_EQ(parsePeriod(engine_, "y:999999999999999"), INT64_MAX);
  EXPECT_EQ(parsePeriod(engine_, "y:-999999999999999"), INT64_MIN);
  stored("[ActionDate]\r\nLate = " + std::to_string(kNow - 10) + "\r\n");
  newLines();
  EXPECT_FALSE(dateTrigger(engine_, "Late", "s:9223372036854775807")) << "next date beyond any date: not due";
  EXPECT_TRUE(
      logged("Date de prochaine execution incalculable (9223372036854775807 secondes après la dernière)."));
  EXPECT_TRUE(dateTrigger(engine_, "Late", "s:-9223372036854775807"));
  // A damaged base: dates no run could have written read as never run.
  for (const char* damaged : {"-9223372036854775808", "9223372036854775807", "-62135596801"}) {
    stored(std::string("[ActionDate]\r\nBad = ") + damaged + "\r\n");
    EXPECT_TRUE(dateTrigger(engine_, "Bad", "s:-5")) << damaged;
    std::vector<std::string> lines = newLines();
    EXPECT_NE(std::find(lines.begin(), lines.end(),
                        std::string("\t\t\tDate de dernière execution endommagée, ignorée : ") + damaged),
              lines.end())
        << damaged;
  }
}

TEST_F(Triggers, WaitsTooLongToComputeAreHeldAtTheLongestSleep) {
  EXPECT_EQ(waitMilliseconds(engine_, 5, "ATT1"), 5000);
  EXPECT_EQ(waitMilliseconds(engine_, -9223372036854775807, "ATT1"), INT64_MIN) << "never waits";
  EXPECT_TRUE(newLines().empty());
  EXPECT_EQ(waitMilliseconds(engine_, 9223372036854775807, "ATT1"), sys::kLongestSleepMs);
  EXPECT_EQ(newLines(), std::vector<std::string>{
                            "\tDurée d'attente trop longue, ramenée à 9223372036854775807 millisecondes."});
}

TEST_F(Triggers, WaitAtCloseTooLongToComputeIsHeld) {
  auto doc = parseDocument(
      "<ORVANTIS><ORVANTIS waitatclose='9223372036854775807'/>"
      "<ORVANTIS waitatclose='-9223372036854775808'/></ORVANTIS>",
      "");
  runEntry(engine_, *findHandler("ORVANTIS"), *doc->root->children[0]);
  EXPECT_EQ(engine_.switches.waitAtCloseMs, sys::kLongestSleepMs);
  EXPECT_TRUE(logged("\t\tDurée d'attente trop longue, ramenée à 9223372036854775807 millisecondes."));
  runEntry(engine_, *findHandler("ORVANTIS"), *doc->root->children[1]);
  EXPECT_EQ(engine_.switches.waitAtCloseMs, INT64_MIN) << "no wait at all";
}

TEST_F(Triggers, RecordsOnlyCompletedActionsWithTheirKinds) {
  stored("");
  ActionContext a;
  a.name = "Setup";
  a.versionNumber = 3;
  recordExecutedAction(engine_, a, 0);
  EXPECT_EQ(test::slurp(engine_.root.actionsFile), "") << "an action in error is not recorded";
  recordExecutedAction(engine_, a, 1);
  EXPECT_EQ(test::slurp(engine_.root.actionsFile), "[Action]\r\nSetup = 3\r\n");
  EXPECT_EQ(a.versionNumber, 0);
  ActionContext d;
  d.name = "Daily";
  d.versionNumber = -3;
  d.versionDate = "d:1";
  recordExecutedAction(engine_, d, -1);
  EXPECT_EQ(test::slurp(engine_.root.actionsFile),
            "[Action]\r\nSetup = 3\r\n[ActionDate]\r\nDaily = 1700000000\r\n");
  EXPECT_TRUE(d.versionDate.empty());
}

TEST_F(Triggers, RegistryLocationReplacesTheIniRecord) {
  stored("[Action]\r\nReg = 1\r\n");
  engine_.root.registryLocation = "HKCU\\Software\\OrvantisTest\\t" +
                                  std::to_string(static_cast<unsigned>(kNow ^ sys::monotonicMs())) + "\\";
  EXPECT_TRUE(versionTrigger(engine_, "Reg", "1")) << "missing in the registry: not recorded";
  EXPECT_TRUE(logged("L'action Reg n'est pas enregistrée."));
  EXPECT_EQ(writeActionRecord(engine_, "Reg", RecordKind::Version, "7"), 1);
  EXPECT_EQ(readStoredRecord(engine_, "Reg", RecordKind::Version, BaseLocation::Registry), "7");
  EXPECT_EQ(readStoredRecord(engine_, "Reg", RecordKind::Version, BaseLocation::Ini), "7");
  EXPECT_FALSE(versionTrigger(engine_, "Reg", "7"));
  EXPECT_EQ(writeActionRecord(engine_, "Reg", RecordKind::Date, ""), 1);
  EXPECT_EQ(readStoredRecord(engine_, "Reg", RecordKind::Date, BaseLocation::Registry), "1700000000");
  RegistryPath made;
  parseRegistryPath(engine_.root.registryLocation, made);
  deleteRegistryTree(made, 0);
  engine_.root.registryLocation = "HKXX\\bad\\";
  EXPECT_EQ(writeActionRecord(engine_, "Reg", RecordKind::Version, "8"), 0);
  EXPECT_TRUE(logged("Erreur dans l'inscription de l'action."));
}

TEST_F(Triggers, BlockActionStepTakesTheFirstSetCodeAndActsOnFailuresOnly) {
  const char* kIgnored = "BlockAction : Une erreur est survenur, l'action ne sera enregistrer.";
  const char* kBlocked = "BlockAction : Bloquage si erreur.";
  engine_.root.blockTagErrorCode = -1;  // the last fallback
  EXPECT_EQ(blockActionStep(engine_, 0), -1);
  EXPECT_TRUE(logged(kIgnored));
  engine_.root.blockActionCode = 1;  // the root's blockaction comes before it
  EXPECT_EQ(blockActionStep(engine_, 0), 0);
  EXPECT_TRUE(logged(kBlocked));
  engine_.action.blockActionCode = -1;  // and the action's own before both
  EXPECT_EQ(blockActionStep(engine_, 0), -1);
  EXPECT_TRUE(logged(kIgnored));
  for (int64_t result : {1, -1, -2, -5}) EXPECT_EQ(blockActionStep(engine_, result), result);
  engine_.action.blockActionCode = 7;  // any other code: unchanged, silent
  EXPECT_EQ(blockActionStep(engine_, 0), 0);
  EXPECT_TRUE(newLines().empty());
}

}  // namespace
}  // namespace orv
