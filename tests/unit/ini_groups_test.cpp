// Reading every group of an INI file in one pass gives what entries() gives per group.
#include <gtest/gtest.h>

#include "engine/ini.h"

namespace orv {

TEST(IniGroups, OnePassMatchesEntriesOfEachGroup) {
  IniFile ini = IniFile::parse("top=ignored\n[A]\nx=1\n[b]\ny=2\n[a]\nz=3\nx=4\n[C]\n");
  auto all = ini.allGroups();
  ASSERT_EQ(all.size(), 4u);
  std::vector<std::string> names;
  for (const auto& [group, entries] : all) {
    names.push_back(group);
    EXPECT_EQ(entries, ini.entries(group)) << group;
  }
  EXPECT_EQ(names, ini.groups());
  // A group written twice (in any case) lists the keys of both, each time it appears.
  EXPECT_EQ(all[0].second.size(), 3u);
  EXPECT_EQ(all[2].second, all[0].second);
  EXPECT_TRUE(all[3].second.empty());
}

}  // namespace orv
