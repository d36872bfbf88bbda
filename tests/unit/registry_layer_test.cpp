// The registry layer against the platform's real backend: advapi32 on
// Windows (under Wine, its private prefix), the SQLite store elsewhere (a
// private file). Keys live below HKCU\Software\OrvantisTest and are removed.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <random>

#include "platform/files.h"
#include "platform/process.h"
#include "platform/system.h"
#include "engine/registry.h"
#include "test_support.h"

namespace orv {
namespace {

// Every test of this binary (also those that only walk documents, whose
// 64-bit test reads the registry) uses a private store, never the user's.
const test::TempDir kStoreDir;
const test::PrivateRegistry kPrivateStore{kStoreDir};

class RegistryLayer : public ::testing::Test {
 protected:
  void SetUp() override {
    base_ = "HKCU\\Software\\OrvantisTest\\u" + std::to_string(std::random_device{}());
  }
  void TearDown() override {
    deleteRegistryTree(at(""), 0);
  }

  RegistryPath at(const std::string& sub) {
    RegistryPath p;
    EXPECT_TRUE(parseRegistryPath(sub.empty() ? base_ : base_ + "\\" + sub, p));
    return p;
  }
  RegistryPath created(const std::string& sub) {
    RegistryPath p = at(sub);
    regapi::Handle h = createRegistryKey(p, 0);
    EXPECT_NE(h, 0);
    closeRegistryKey(h);
    return p;
  }

  test::TempDir dir_;
  test::PrivateRegistry registry_{dir_};
  std::string base_;
};

TEST_F(RegistryLayer, KeysAreCreatedWithTheirParentsAndTestedForExistence) {
  RegistryPath deep = at("a\\b\\c");
  EXPECT_EQ(registryExists(deep, "", 0), 0);
  created("a\\b\\c");
  EXPECT_EQ(registryExists(deep, "", 0), 1);
  EXPECT_EQ(registryExists(at("a\\b"), "", 0), 1);
  EXPECT_EQ(registryExists(at("A\\B\\C"), "", 0), 1) << "key names ignore case";
  EXPECT_EQ(registryExists(deep, "missing", 0), 0);
}

TEST_F(RegistryLayer, ValuesRoundTripAsTextByType) {
  RegistryPath k = created("v");
  EXPECT_EQ(writeRegistryValue(k, kRegSz, "s", "Unicodé € text", 0), 1);
  EXPECT_EQ(readRegistryValue(k, "S", 0), "Unicodé € text");
  EXPECT_EQ(writeRegistryValue(k, kRegExpandSz, "e", "%windir%\\x", 0), 1);
  EXPECT_EQ(readRegistryValue(k, "e", 0), "%windir%\\x") << "references stay unexpanded";
  EXPECT_EQ(writeRegistryValue(k, kRegDword, "d", "-1", 0), 1);
  EXPECT_EQ(readRegistryValue(k, "d", 0), "4294967295");
  EXPECT_EQ(writeRegistryValue(k, kRegDword, "h", "$1F", 0), 1);
  EXPECT_EQ(readRegistryValue(k, "h", 0), "31");
  EXPECT_EQ(writeRegistryValue(k, kRegQword, "q", "-5000000000", 0), 1);
  EXPECT_EQ(readRegistryValue(k, "q", 0), "-5000000000");
  EXPECT_EQ(writeRegistryValue(k, kRegBinary, "b", "000FA0", 0), 1);
  EXPECT_EQ(readRegistryValue(k, "b", 0), "000FA0");
  EXPECT_EQ(writeRegistryValue(k, kRegBinary, "odd", "0FA", 0), 1);
  EXPECT_EQ(readRegistryValue(k, "odd", 0), "0F");
  EXPECT_EQ(writeRegistryValue(k, kRegSz, "", "default", 0), 1);
  EXPECT_EQ(readRegistryValue(k, "", 0), "default");
  EXPECT_EQ(writeRegistryValue(k, kRegSz, "s", "replaced", 0), 1);
  EXPECT_EQ(readRegistryValue(k, "s", 0), "replaced");
}

TEST_F(RegistryLayer, LongValuesAreReadWhole) {
  RegistryPath k = created("long");
  std::string text(5000, 'x');
  text += "end";
  EXPECT_EQ(writeRegistryValue(k, kRegSz, "big", text, 0), 1);
  EXPECT_EQ(readRegistryValue(k, "big", 0), text);
}

TEST_F(RegistryLayer, MultiStringsGrowByOneWholeLinePerWrite) {
  RegistryPath k = created("m");
  EXPECT_EQ(writeRegistryValue(k, kRegMultiSz, "list", "x", 0), 1);
  EXPECT_EQ(writeRegistryValue(k, kRegMultiSz, "list", "y", 0), 1);
  EXPECT_EQ(readRegistryValue(k, "list", 0), " x y");
  EXPECT_EQ(writeRegistryValue(k, kRegMultiSz, "list", "Ωmega €", 1), 1);
  EXPECT_EQ(readRegistryValue(k, "list", 1), " x y Ωmega €") << "characters beyond U+00FF survive";
}

TEST_F(RegistryLayer, DeletingValuesAndTrees) {
  RegistryPath k = created("del\\sub\\leaf");
  RegistryPath top = at("del");
  EXPECT_LT(deleteRegistryValue(top, "nothing", 0), 1);
  EXPECT_EQ(writeRegistryValue(top, kRegSz, "v", "1", 0), 1);
  EXPECT_EQ(deleteRegistryValue(top, "v", 0), 1);
  EXPECT_EQ(registryExists(top, "v", 0), 0);
  EXPECT_EQ(writeRegistryValue(top, kRegSz, "", "default", 0), 1);
  EXPECT_EQ(deleteRegistryValue(top, "", 0), 1) << "the default value is gone, the key stays";
  uint32_t type = 0;
  std::vector<uint8_t> data;
  regapi::Handle h = openRegistryKey(connectRegistry(top.root, "."), top.subKey, 0, regapi::kRead);
  ASSERT_NE(h, 0);
  EXPECT_EQ(regapi::queryValue(h, "", type, data), -regapi::kErrorFileNotFound);
  closeRegistryKey(h);
  EXPECT_EQ(registryExists(top, "", 0), 1);
  EXPECT_EQ(writeRegistryValue(k, kRegSz, "w", "1", 0), 1);
  EXPECT_EQ(deleteRegistryTree(top, 0), 1);
  EXPECT_EQ(registryExists(top, "", 0), 0);
  EXPECT_EQ(registryExists(at(""), "", 0), 1) << "the parent stays";
  EXPECT_LT(deleteRegistryTree(top, 0), 1) << "already gone";
  RegistryPath root;
  ASSERT_TRUE(parseRegistryPath("HKCU\\", root));
  EXPECT_LT(deleteRegistryTree(root, 0), 1) << "a whole root is never emptied";
}

TEST_F(RegistryLayer, EnumeratesValueNamesInOrderUntilEmpty) {
  RegistryPath k = created("enum");
  EXPECT_EQ(enumRegistryValueName(k, 0, 0), "");
  writeRegistryValue(k, kRegSz, "A", "1", 0);
  writeRegistryValue(k, kRegDword, "B", "2", 0);
  EXPECT_EQ(enumRegistryValueName(k, 0, 0), "A");
  EXPECT_EQ(enumRegistryValueName(k, 1, 0), "B");
  EXPECT_EQ(enumRegistryValueName(k, 2, 0), "");
}

TEST_F(RegistryLayer, MissingKeysAndBadLocationsFailQuietly) {
  RegistryPath missing = at("nope");
  EXPECT_EQ(readRegistryValue(missing, "v", 0), "");
  EXPECT_LT(writeRegistryValue(missing, kRegSz, "v", "x", 0), 1);
  EXPECT_LT(writeRegistryValue(missing, kRegMultiSz, "v", "x", 0), 1);
  EXPECT_LT(deleteRegistryValue(missing, "v", 0), 1);
  RegistryPath bad;
  EXPECT_FALSE(parseRegistryPath("HKXX\\Software", bad));
  EXPECT_EQ(createRegistryKey(bad, 0), 0);
  EXPECT_EQ(registryExists(bad, "", 0), 0);
  EXPECT_EQ(readRegistryValue(bad, "v", 0), "");
}

TEST_F(RegistryLayer, UnreachableRemoteMachineGivesNoHandle) {
  RegistryPath remote;
  ASSERT_TRUE(parseRegistryPath("\\\\orv-no-such-host\\HKCU\\Software", remote));
  EXPECT_EQ(connectRegistry(remote.root, remote.machine), 0);
  EXPECT_EQ(registryExists(remote, "", 0), 0);
  EXPECT_EQ(createRegistryKey(remote, 0), 0);
}

TEST_F(RegistryLayer, ReadsNeverCreateTheStoreAndTheFileAloneHoldsEveryWrite) {
  if (sys::kWindowsBuild) GTEST_SKIP() << "the Windows build uses the real registry";
  std::string file = dir_.file("registry.sqlite3");
  EXPECT_FALSE(isMachine64Bit("."));
  EXPECT_EQ(registryExists(at("a"), "", 0), 0);
  EXPECT_EQ(readRegistryValue(at(""), "v", 0), "");
  EXPECT_EQ(enumRegistryValueName(at(""), 0, 0), "");
  EXPECT_FALSE(fs::pathExists(file)) << "nothing was written";
  RegistryPath k = created("a");
  EXPECT_EQ(writeRegistryValue(k, kRegSz, "v", "kept", 0), 1);
  EXPECT_TRUE(fs::fileExists(file));
  EXPECT_FALSE(isMachine64Bit("."));
  // A copy of the file alone (no journal beside it) holds the value.
  std::string copy = dir_.file("copy.sqlite3");
  ASSERT_TRUE(fs::writeFile(copy, test::slurp(file)));
  sys::setEnv("ORVANTIS_REGISTRY", copy);
  EXPECT_EQ(readRegistryValue(k, "v", 0), "kept");
  EXPECT_FALSE(fs::pathExists(copy + "-wal"));
  regapi::closeStore();
}

TEST_F(RegistryLayer, SixtyFourBitTestReadsTheThreeFactsOfTheStore) {
  if (sys::kWindowsBuild) GTEST_SKIP() << "the Windows build reads the real registry's facts";
  EXPECT_FALSE(isMachine64Bit("."));
  RegistryPath env, nt, compat;
  parseRegistryPath("HKLM\\SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment", env);
  parseRegistryPath("HKLM\\SOFTWARE\\Wow6432Node\\Microsoft\\Windows NT\\CurrentVersion", nt);
  parseRegistryPath("HKLM\\SOFTWARE\\Wow6432Node\\Microsoft\\Windows NT\\CurrentVersion\\Compatibility32",
                    compat);
  closeRegistryKey(createRegistryKey(env, 0));
  writeRegistryValue(env, kRegSz, "PROCESSOR_ARCHITECTURE", "amd64", 0);
  EXPECT_FALSE(isMachine64Bit("."));
  closeRegistryKey(createRegistryKey(nt, 0));
  writeRegistryValue(nt, kRegSz, "CurrentVersion", "6.3", 0);
  EXPECT_FALSE(isMachine64Bit("."));
  closeRegistryKey(createRegistryKey(compat, 0));
  EXPECT_TRUE(isMachine64Bit("."));
}

TEST_F(RegistryLayer, SeveralProcessesCreateAndShareTheStoreAtOnce) {
  // Separate programs started together on a store that does not exist yet.
  std::string dir = fs::folderPart(sys::selfPath());
  std::string helper = fs::fileExists(dir + "orvreg.exe") ? dir + "orvreg.exe" : dir + "orvreg";
  const int kChildren = 4, kWrites = 40;
  std::vector<std::unique_ptr<proc::ChildProcess>> children;
  for (int c = 0; c < kChildren; ++c) {
    int64_t error = 0;
    std::string params =
        "fill \"" + base_ + "\\shared\" c" + std::to_string(c) + "_ " + std::to_string(kWrites);
    children.push_back(proc::startProcess(helper, params, "", {.discardOutput = true}, error));
    ASSERT_TRUE(children.back()) << error;
  }
  for (auto& child : children) {
    ASSERT_TRUE(child->waitForExit(120000));
    EXPECT_EQ(child->exitCode(), 0);
  }
  RegistryPath k = at("shared");
  for (int c = 0; c < kChildren; ++c)
    for (int i = 0; i < kWrites; ++i)
      EXPECT_EQ(readRegistryValue(k, "c" + std::to_string(c) + "_" + std::to_string(i), 0),
                std::to_string(i));
}

}  // namespace
}  // namespace orv
