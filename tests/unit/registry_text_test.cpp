// Location parsing and value conversions of the registry layer (no backend).
#include <gtest/gtest.h>

#include "engine/registry.h"

namespace orv {
namespace {

RegistryPath parsed(const std::string& location, bool expectOk = true) {
  RegistryPath p;
  EXPECT_EQ(parseRegistryPath(location, p), expectOk) << location;
  return p;
}

TEST(RegistryPathParsing, PlainLocalAndRemoteForms) {
  for (const char* loc : {"HKLM\\SOFTWARE\\A", ".\\HKLM\\SOFTWARE\\A", "\\\\pc1\\HKLM\\SOFTWARE\\A"}) {
    RegistryPath p = parsed(loc);
    EXPECT_EQ(p.root, regapi::Root::LocalMachine) << loc;
    EXPECT_EQ(p.subKey, "SOFTWARE\\A") << loc;
  }
  EXPECT_EQ(parsed("HKLM\\SOFTWARE\\A").machine, ".");
  EXPECT_EQ(parsed(".\\HKLM\\SOFTWARE\\A").machine, ".");
  EXPECT_EQ(parsed("\\\\pc1\\HKLM\\SOFTWARE\\A").machine, "pc1");
}

TEST(RegistryPathParsing, RootNamesIgnoreCaseButThePrefixDoesNot) {
  EXPECT_EQ(parsed("HKEY_CURRENT_USER\\Software").root, regapi::Root::CurrentUser);
  EXPECT_EQ(parsed("HKcu\\Software").root, regapi::Root::CurrentUser);
  EXPECT_EQ(parsed("HKU\\S-1").root, regapi::Root::Users);
  EXPECT_EQ(parsed("HKCR\\.txt").root, regapi::Root::ClassesRoot);
  EXPECT_EQ(parsed("HKCC\\System").root, regapi::Root::CurrentConfig);
  parsed("hklm\\Software", false);
  parsed("HKXX\\Software", false);
  parsed("SOFTWARE\\A", false);
}

TEST(RegistryPathParsing, SubKeyDropsEveryOccurrenceOfThePrefix) {
  EXPECT_EQ(parsed("HKLM\\SOFTWARE\\HKLM\\X").subKey, "SOFTWARE\\X");
  EXPECT_EQ(parsed("HKLM\\").subKey, "");
}

std::string text(uint32_t type, std::vector<uint8_t> data) { return registryDataToText(type, data); }

TEST(RegistryValueText, DataReadsAsTextByType) {
  EXPECT_EQ(text(kRegDword, {0xFF, 0xFF, 0xFF, 0xFF}), "4294967295");
  EXPECT_EQ(text(kRegQword, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}), "-1");
  EXPECT_EQ(text(kRegBinary, {0x00, 0x0F, 0xA0}), "000FA0");
  EXPECT_EQ(text(kRegBinary, {}), "");
  EXPECT_EQ(text(kRegSz, {'a', 0, 'b', 0, 0, 0, 'c', 0}), "ab") << "stops at the first NUL";
  EXPECT_EQ(text(kRegSz, {'a', 0, 'b', 0}), "ab") << "or at the end of the data";
  EXPECT_EQ(text(kRegMultiSz, {'a', 0, 0, 0, 0, 0, 'b', 0, 0, 0, 0, 0}), " a b") << "empty lines dropped";
  EXPECT_EQ(text(kRegNone, {1, 2}), "");
  EXPECT_EQ(text(kRegSz, {0xAC, 0x20, 0x3D, 0xD8, 0x00, 0xDE, 0, 0}), "€\xF0\x9F\x98\x80")
      << "surrogate pairs";
}

TEST(RegistryValueText, TextWritesAsDataByType) {
  using Bytes = std::vector<uint8_t>;
  EXPECT_EQ(registryTextToData(kRegDword, "-1"), (Bytes{0xFF, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(registryTextToData(kRegDword, "4294967297"), (Bytes{1, 0, 0, 0})) << "low 32 bits";
  EXPECT_EQ(registryTextToData(kRegDword, "abc"), (Bytes{0, 0, 0, 0}));
  EXPECT_EQ(registryTextToData(kRegQword, "$10"), (Bytes{16, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(registryTextToData(kRegBinary, "0FA"), (Bytes{0x0F}));
  EXPECT_EQ(registryTextToData(kRegBinary, "G11Gab"), (Bytes{0x00, 0x01, 0xAB}));
  EXPECT_EQ(registryTextToData(kRegSz, "é"), (Bytes{0xE9, 0, 0, 0}));
  EXPECT_EQ(registryTextToData(kRegNone, "ignored"), Bytes{});
  EXPECT_EQ(multiStringData({"x", "Ω"}), (Bytes{'x', 0, 0, 0, 0xA9, 0x03, 0, 0, 0, 0}));
  EXPECT_EQ(multiStringLines(multiStringData({"é€", "z"})), (std::vector<std::string>{"é€", "z"}));
}

}  // namespace
}  // namespace orv
