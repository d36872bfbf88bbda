#include "engine/params.h"

#include <gtest/gtest.h>

namespace orv {

static ParameterMap parse(std::vector<std::string> args) {
  ParameterMap map;
  parseCommandLine(args, map);
  return map;
}

TEST(CommandLine, SwitchesTakeTheNextNonSwitchArgument) {
  ParameterMap m = parse({"/f", "c:\\x.xml", "/s", "-j", "c:\\logs\\j.log"});
  EXPECT_EQ(m["f"], "c:\\x.xml");
  EXPECT_EQ(m["s"], kNoValue);
  EXPECT_EQ(m["j"], "c:\\logs\\j.log");
  EXPECT_EQ(m.size(), 3u);
}

TEST(CommandLine, BareArgumentsAreStoredByIndex) {
  ParameterMap m = parse({"/s", "file.xml", "other"});
  // "file.xml" is the value of /s; "other" stands at index 2.
  EXPECT_EQ(m["s"], "file.xml");
  EXPECT_EQ(m["*no_switch_2"], "other");
  m = parse({"file.xml", "/s"});
  EXPECT_EQ(m["*no_switch_0"], "file.xml");
}

TEST(CommandLine, NamesKeepCaseAndDoubledHyphen) {
  ParameterMap m = parse({"/F", "a.xml", "--f", "+t", "utf8", "/f"});
  EXPECT_EQ(m["F"], "a.xml");
  EXPECT_EQ(m["-f"], kNoValue);
  EXPECT_EQ(m["t"], "utf8");
  EXPECT_EQ(m["f"], kNoValue);  // last on the line: no value
}

TEST(CommandLine, AbsolutePosixPathsAreValuesNotSwitches) {
  ParameterMap m = parse({"/f", "/srv/deploy/site.xml", "/j", "/var/log/j.log", "/s"});
  EXPECT_EQ(m["f"], "/srv/deploy/site.xml");
  EXPECT_EQ(m["j"], "/var/log/j.log");
  EXPECT_EQ(m["s"], kNoValue);
  m = parse({"/tmp/a.xml"});
  EXPECT_EQ(m["*no_switch_0"], "/tmp/a.xml");
}

TEST(CommandLine, RepeatedSwitchReplacesAndLongArgumentsAreCut) {
  ParameterMap m = parse({"/f", "one", "/f", "two"});
  EXPECT_EQ(m["f"], "two");
  m = parse({"/f", std::string(2000, 'a')});
  EXPECT_EQ(m["f"].size(), 1024u);
}

}  // namespace orv
