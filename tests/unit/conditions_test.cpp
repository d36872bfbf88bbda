// The condition families on their own: system codes fed with version facts,
// architecture matching, dates with a fixed clock, files, directories,
// registry, free space and the group walk.
#include <gtest/gtest.h>

#include "conditions/machine_conditions.h"
#include "conditions/system_identity.h"
#include "engine/clock.h"
#include "engine/engine.h"
#include "platform/system.h"
#include "engine/registry.h"
#include "test_support.h"

namespace orv {

namespace {

SystemFacts windows(uint32_t major, uint32_t minor, uint8_t product, int wow64, uint16_t suite = 0) {
  SystemFacts f;
  f.extendedCode = extendedSystemCode(facts::FullVersion{major, minor, suite, product});
  f.basicCode = basicSystemCode(facts::ReportedVersion{2, major, minor, product});
  f.wow64 = wow64;
  return f;
}

class Conditions : public ::testing::Test {
 protected:
  void SetUp() override { engine.runLog.path = dir.file("run.log"); }
  void TearDown() override { clock::setForTesting(nullptr); }
  void fixClock(int y, int mo, int d, int h = 12, int mi = 0, int s = 0) {
    clock::setForTesting([=] { return sys::LocalTime{y, mo, d, h, mi, s}; });
  }
  bool logged(const std::string& text) {
    for (const std::string& l : test::logLines(engine.runLog.path))
      if (l.find(text) != std::string::npos) return true;
    return false;
  }
  int sysver(const std::string& value, const SystemFacts& f) {
    return checkSystemVersionWith(engine, value, f);
  }
  test::TempDir dir;
  Engine engine;
};

}  // namespace

TEST(SystemCodes, ExtendedCodesOfWorkstationsAndServers) {
  auto code = [](uint32_t ma, uint32_t mi, uint8_t p, uint16_t suite = 0) {
    return extendedSystemCode(facts::FullVersion{ma, mi, suite, p});
  };
  EXPECT_EQ(code(10, 0, 1), 2);
  EXPECT_EQ(code(10, 0, 3), 13);
  EXPECT_EQ(code(10, 1, 1), 0);
  EXPECT_EQ(code(6, 3, 2), 6);
  EXPECT_EQ(code(6, 1, 1), 5);
  EXPECT_EQ(code(6, 4, 1), 18);
  EXPECT_EQ(code(5, 2, 1), 15);
  EXPECT_EQ(code(5, 2, 3, 0x8000), 14);
  EXPECT_EQ(code(5, 2, 3), 11);
  EXPECT_EQ(code(5, 3, 1), 0);
  EXPECT_EQ(code(4, 0, 1), 1);
  EXPECT_EQ(code(8, 0, 1), 18);
  EXPECT_EQ(code(11, 0, 1), 18);
  EXPECT_EQ(extendedSystemCode(std::nullopt), 0);
  EXPECT_EQ(basicSystemCode(std::nullopt), 200);
  EXPECT_EQ(basicSystemCode(facts::ReportedVersion{2, 5, 2, 3}), 65);
  EXPECT_EQ(basicSystemCode(facts::ReportedVersion{2, 6, 2, 1}), 90);
  EXPECT_EQ(basicSystemCode(facts::ReportedVersion{1, 4, 90, 1}), 40);
  EXPECT_EQ(basicSystemCode(facts::ReportedVersion{2, 10, 0, 1}), 200);
}

TEST_F(Conditions, SystemNamesOnWindowsVersions) {
  SystemFacts w10 = windows(10, 0, 1, 1), s2022 = windows(10, 0, 3, 1), s2012r2 = windows(6, 3, 2, 1);
  EXPECT_EQ(sysver("win_10", w10), 1);
  EXPECT_EQ(sysver("WIN_10_64", w10), 1);
  EXPECT_EQ(sysver("win_10_32,win_8.1", w10), 0);
  EXPECT_EQ(sysver("win_s2016,", s2022), 1);
  EXPECT_EQ(sysver("win_s2016_64", s2022), 1);
  EXPECT_EQ(sysver("win_s2012r2", s2012r2), 1);
  EXPECT_EQ(sysver("win_8.1", s2012r2), 0);
  EXPECT_EQ(sysver("win_7_64,win_xp", windows(5, 1, 1, 0)), 1);
  EXPECT_TRUE(logged("Correspondance trouvé avec win_xp"));
  EXPECT_EQ(sysver("windows_7,win_other", windows(10, 0, 1, 1)), 1);  // basic code 200
  EXPECT_TRUE(logged("X-> L'attribut valeur n'est pas spécifié ou n'est pas remplis correctement."));
  EXPECT_EQ(sysver("win_xp,win_s2003", windows(5, 2, 1, 1)), 0);  // XP x64: code 15
  // Outside Windows: no full version, basic code 200.
  SystemFacts none;
  EXPECT_EQ(sysver("win_10,win_7,", none), 0);
  EXPECT_TRUE(logged("Aucune correspondance trouvé."));
  EXPECT_EQ(sysver("win_other", none), 1);
  EXPECT_EQ(sysver("", none), 0);
}

TEST_F(Conditions, ArchitectureEqualAndDifferent) {
  EXPECT_EQ(checkArchitectureWith(engine, "x64", "", 9), 1);
  EXPECT_EQ(checkArchitectureWith(engine, "X86,AMD64", "equal", 9), 1);
  EXPECT_EQ(checkArchitectureWith(engine, "x86,amd64", "dif", 9), 1);
  EXPECT_TRUE(logged("Est'il différent de x86 ?"));
  EXPECT_EQ(checkArchitectureWith(engine, "amd64", "dif", 9), 0);
  EXPECT_EQ(checkArchitectureWith(engine, "x6,86", "", 9), 0);
  EXPECT_EQ(checkArchitectureWith(engine, "x86", "", 12), 0);  // ARM64 has no name
  EXPECT_EQ(checkArchitectureWith(engine, "", "", 9), 0);
  EXPECT_TRUE(logged("X-> Pas de valeur a vérifier !"));
  EXPECT_EQ(checkArchitectureWith(engine, "x86", "other", 0), 0);
  EXPECT_EQ(architectureName(0), "x86");
  EXPECT_EQ(architectureName(65535), "unknown architecture");
  EXPECT_EQ(architectureName(12), "");
}

TEST_F(Conditions, DateFieldsAndPeriods) {
  fixClock(2024, 12, 31, 23, 59, 59);
  EXPECT_EQ(checkDate(engine, "01/01/2024|31/12/2024", "period"), 1);
  EXPECT_TRUE(logged("La date se trouve dans la période 01/01/2024 à 31/12/2024."));
  fixClock(2025, 1, 1, 0, 0, 0);  // midnight ending the stop day still counts
  EXPECT_EQ(checkDate(engine, "01/01/2024|31/12/2024", "period"), 1);
  fixClock(2025, 1, 1, 0, 0, 1);
  EXPECT_EQ(checkDate(engine, "01/01/2024|31/12/2024,nonsense", "period"), 0);
  EXPECT_TRUE(logged("X-> Erreur de formatage de la période indiquée."));
  EXPECT_EQ(checkDate(engine, "01/01/2025|2025-12-31", "period"), 0);  // bad stop date
  EXPECT_EQ(parseDayDate("1/2/2024"), clock::dateNumber({2024, 2, 1, 0, 0, 0}));
  EXPECT_EQ(parseDayDate("32/01/2024"), -1);
  EXPECT_EQ(parseDayDate("01/01/24"), -1);

  fixClock(2029, 6, 15, 10, 0, 0);
  EXPECT_EQ(checkDate(engine, "y=2030", "startdate"), 0);
  EXPECT_EQ(checkDate(engine, "y=2030", "stopdate"), 1);
  EXPECT_EQ(checkDate(engine, "", "stopdate"), 0);
  EXPECT_EQ(checkDate(engine, "Y=2029,o=6,d=15,h=9", "startdate"), 1);
  EXPECT_EQ(checkDate(engine, "y=2029,y=2031", "startdate"), 0);  // a later item wins
  fixClock(2030, 6, 15, 10, 0, 0);
  EXPECT_EQ(checkDate(engine, "y=2030", "startdate"), 1);

  fixClock(2024, 3, 26, 8, 0, 0);
  EXPECT_EQ(checkDate(engine, "d=25", ""), 1);  // the day after still holds
  EXPECT_EQ(checkDate(engine, "d=24,d=26", ""), 1);
  EXPECT_EQ(checkDate(engine, "d=27", ""), 0);
  EXPECT_EQ(dateFromFields("", 12345), 0);
  EXPECT_EQ(dateFromFields("x=3,h=0,m=0,s=0", clock::dateNumber({2024, 3, 26, 8, 0, 0})),
            clock::dateNumber({2024, 3, 26, 0, 0, 0}));
}

TEST_F(Conditions, FilesAndDirectories) {
  test::spit(dir.file("a.txt"), "abc");
  test::spit(dir.file("empty.txt"), "");
  EXPECT_EQ(pathSize(dir.path()), -2);
  EXPECT_EQ(pathSize(dir.file("none")), -1);
  EXPECT_EQ(checkDirectory(engine, dir.path()), 1);
  EXPECT_EQ(checkDirectory(engine, dir.file("a.txt")), 0);
  EXPECT_TRUE(logged("Le répertoire est détecté comme fichier."));
  EXPECT_EQ(checkFile(engine, dir.file("empty.txt"), "size", "0"), 1);
  EXPECT_EQ(checkFile(engine, dir.file("a.txt"), "size", "4"), 0);
  EXPECT_TRUE(logged("Le fichier existe mais ne correspond pas à la taille spécifié (4 != 3)."));
  EXPECT_EQ(checkFile(engine, dir.file("a.txt"), "md5", "900150983cd24fb0d6963f7d28e17f72"), 1);
  EXPECT_EQ(checkFile(engine, dir.file("a.txt"), "md5", "900150983CD24FB0D6963F7D28E17F72"), 0);
  EXPECT_TRUE(logged("Apparition d'une différence => : 900150983cd24fb0d6963f7d28e17f72"));
  EXPECT_EQ(checkFile(engine, dir.path(), "", ""), 0);
  EXPECT_TRUE(logged("X-> Le fichier " + dir.path() + " n'existe pas."));
  EXPECT_EQ(checkFile(engine, dir.file("a.txt"), "fileversion", "1.0"), 0);
  EXPECT_EQ(checkFile(engine, dir.file("a.txt"), "", ""), 1);
}

TEST_F(Conditions, FreeSpaceAboveAndBelow) {
  EXPECT_TRUE(freeSpaceHolds(500, 500, "below"));
  EXPECT_TRUE(freeSpaceHolds(500, 500, "above"));
  EXPECT_FALSE(freeSpaceHolds(499, 500, "above"));
  EXPECT_FALSE(freeSpaceHolds(501, 500, ""));
  EXPECT_EQ(checkFreeSpace(engine, dir.path(), 0, "above"), 1);
  EXPECT_EQ(checkFreeSpace(engine, dir.file("no/such/folder"), 0, "below"), 1);  // a failed query is 0 MiB
  EXPECT_TRUE(logged("Taille de l'espace disque : 0M."));
}

TEST_F(Conditions, GroupWalkSortsAndMatchesExactly) {
  EXPECT_EQ(matchGroups(engine, "Admins,Users", {"Users", "Print"}), 1);
  std::vector<std::string> lines = test::logLines(engine.runLog.path);
  std::vector<std::string> walk(lines.end() - 7, lines.end());
  for (std::string& l : walk) l.erase(0, l.find_first_not_of('\t'));
  EXPECT_EQ(walk, (std::vector<std::string>{"Récupération effectuée, vérification :", "Print", "Users",
                                            "Aucun groupes ne correspond.", "Print", "Users", "Oui."}));
  EXPECT_EQ(matchGroups(engine, "users", {"Users"}), 0);
  EXPECT_EQ(matchGroups(engine, "Users", {}), 0);
  EXPECT_TRUE(logged("Il n'y a pas de groupe à verifier."));
  EXPECT_EQ(checkGroups(engine, "", "someone"), 0);
  EXPECT_TRUE(logged("X-> Pas de valeur à vérifier !"));
}

}  // namespace orv
