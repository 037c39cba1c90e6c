#include "tool/switches.h"

#include <gtest/gtest.h>

#include "tool/switch_prefix.h"

namespace {

// The start differs from the defaults, so overwriting is seen.
RunSettings Start() {
  RunSettings settings;
  settings.startOffset = 77;
  settings.reportName = "earlier";
  return settings;
}

TEST(SwitchesTest, KnownSwitches) {
  const struct {
    const char* parameter;
    bool ascending, descending;
    const char* reportName;
    int32_t startOffset;
  } cases[] = {
      {"-a", true, false, "earlier", 77},         {"-A", true, false, "earlier", 77},
      {"-ascending", true, false, "earlier", 77}, {"-Delta", false, true, "earlier", 77},
      {"-data.bin", false, true, "earlier", 77},  {"-f", false, false, "", 77},
      {"-f:", false, false, "", 77},              {"-F:Out.TXT", false, false, "Out.TXT", 77},
      {"-fout.txt", false, false, "ut.txt", 77},  {"-o:100", false, false, "earlier", 100},
      {"-o:$10", false, false, "earlier", 16},    {"-o:abc", false, false, "earlier", 0},
      {"-o", false, false, "earlier", 0},         {"-o:-1", false, false, "earlier", -1},
      {"-o:$80000000", false, false, "earlier", INT32_MIN},
  };
  for (const auto& c : cases) {
    RunSettings settings = Start();
    ASSERT_TRUE(ApplySwitch(c.parameter, settings)) << c.parameter;
    EXPECT_EQ(settings.ascending, c.ascending) << c.parameter;
    EXPECT_EQ(settings.descending, c.descending) << c.parameter;
    EXPECT_EQ(settings.reportName, c.reportName) << c.parameter;
    EXPECT_EQ(settings.startOffset, c.startOffset) << c.parameter;
  }
}

TEST(SwitchesTest, StepSwitch) {
  const struct {
    const char* parameter;
    bool anyStep;
    int32_t size;
  } cases[] = {{"-s", true, 0},      {"-S:", true, 0},    {"-s:2", false, 2},
               {"-s:-1", false, -1}, {"-s:$10", false, 16}, {"-sx5", false, 5}};
  for (const auto& c : cases) {
    RunSettings settings;
    ASSERT_TRUE(ApplySwitch(c.parameter, settings)) << c.parameter;
    EXPECT_TRUE(settings.step) << c.parameter;
    EXPECT_EQ(settings.anyStep, c.anyStep) << c.parameter;
    EXPECT_EQ(settings.anyStep ? 0 : settings.stepSize, c.size) << c.parameter;
  }
}

TEST(SwitchesTest, UnknownSwitchesChangeNothing) {
  for (const char* parameter : {"-", "-x", "-h", "-?", "-s:x", "-s:1 ", "-s:$", "--a"}) {
    RunSettings settings = Start();
    EXPECT_FALSE(ApplySwitch(parameter, settings)) << parameter;
    EXPECT_FALSE(settings.step || settings.ascending || settings.descending) << parameter;
    EXPECT_EQ(settings.startOffset, 77) << parameter;
  }
}

TEST(SwitchesTest, LastValueWins) {
  RunSettings settings;
  for (const char* parameter : {"-o:10", "-o:20", "-f:first", "-f:second", "-s:2", "-s"}) {
    ASSERT_TRUE(ApplySwitch(parameter, settings)) << parameter;
  }
  EXPECT_EQ(settings.startOffset, 20);
  EXPECT_EQ(settings.reportName, "second");
  EXPECT_TRUE(settings.anyStep);
}

TEST(SwitchesTest, OnlyTheDashMakesASwitch) {
  EXPECT_TRUE(IsSwitchPrefix('-'));
  EXPECT_FALSE(IsSwitchPrefix('/'));  // absolute paths
  EXPECT_FALSE(IsSwitchPrefix('a'));
}

}  // namespace
