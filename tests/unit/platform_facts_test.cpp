// Platform facts against the real machine: digests of known contents and the
// process list (the test program itself is running).
#include <gtest/gtest.h>

#include "platform/digest.h"
#include "platform/files.h"
#include "platform/processes.h"
#include "platform/system.h"
#include "platform/system_facts.h"
#include "engine/text_util.h"
#include "test_support.h"

namespace orv {

TEST(FileDigest, KnownContentsEmptyFileAndMissingFile) {
  test::TempDir dir;
  test::spit(dir.file("abc.txt"), "abc");
  test::spit(dir.file("empty.txt"), "");
  EXPECT_EQ(fileDigestHex(dir.file("abc.txt"), DigestKind::Md5), "900150983cd24fb0d6963f7d28e17f72");
  EXPECT_EQ(fileDigestHex(dir.file("abc.txt"), DigestKind::Sha256),
            "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  EXPECT_EQ(fileDigestHex(dir.file("empty.txt"), DigestKind::Md5), "d41d8cd98f00b204e9800998ecf8427e");
  EXPECT_FALSE(fileDigestHex(dir.file("missing.txt"), DigestKind::Md5));
  EXPECT_FALSE(fileDigestHex(dir.path(), DigestKind::Md5));
}

TEST(FileDigest, LargerThanOneReadBuffer) {
  test::TempDir dir;
  test::spit(dir.file("big.bin"), std::string(200000, 'a'));
  EXPECT_EQ(fileDigestHex(dir.file("big.bin"), DigestKind::Md5), "561b1994f6baacd6e5eaf4baaa12849f");
}

TEST(ProcessList, FindsItselfByNameAndPathInAnyCase) {
  std::string self = sys::selfPath();
  std::string name = fs::filePart(self);
  EXPECT_TRUE(processExists(name));
  EXPECT_TRUE(processExists(toUpper(name)));
  EXPECT_TRUE(processExists(self));
  EXPECT_TRUE(processExists(toUpper(self)));
  EXPECT_FALSE(processExists("no-such-program-anywhere.exe"));
  EXPECT_FALSE(processExists(""));
  // A name is never matched against the start of a longer one.
  EXPECT_FALSE(processExists(name.substr(0, name.size() - 1)));
}

TEST(MachineFacts, ArchitectureUserAndVersionOfTheBuildMachine) {
  // Builds and tests run on x86-64 machines (natively or under 64-bit Wine).
  EXPECT_EQ(facts::nativeArchitecture(), 9);
  EXPECT_FALSE(facts::currentUserName().empty());
  EXPECT_FALSE(facts::computerName().empty());
  if (!sys::kWindowsBuild) {
    // No Windows version outside Windows; no computer accounts either.
    EXPECT_FALSE(facts::fullVersion());
    EXPECT_FALSE(facts::reportedVersion());
    EXPECT_EQ(facts::wow64Flag(), 0);
    EXPECT_TRUE(facts::accountGroups("", facts::computerName() + "$").empty());
    EXPECT_FALSE(facts::accountGroups("", facts::currentUserName()).empty());
  } else {
    EXPECT_TRUE(facts::fullVersion());
  }
}

}  // namespace orv
