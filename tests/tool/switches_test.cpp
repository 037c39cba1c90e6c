#include "tool/switches.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

// The start differs from the defaults, so overwriting is seen.
RunSettings Start() {
  RunSettings settings;
  settings.startOffset = 77;
  settings.reportName = "earlier";
  return settings;
}

auto Fields(const RunSettings& settings) {
  const Selection& s = settings.selection;
  return std::make_tuple(s.ascending, s.descending, s.step, s.anyStep, s.step && !s.anyStep ? s.stepSize : 0,
                         settings.reportName, settings.startOffset);
}

// Only the letter after the dash counts; values skip the third character.
TEST(SwitchesTest, KnownSwitches) {
  const struct {
    const char* parameter;
    bool ascending, descending, step, anyStep;
    int32_t stepSize;
    const char* reportName;
    int32_t startOffset;
  } cases[] = {
      {"-a", 1, 0, 0, 0, 0, "earlier", 77},         {"-A", 1, 0, 0, 0, 0, "earlier", 77},
      {"-ascending", 1, 0, 0, 0, 0, "earlier", 77}, {"-Delta", 0, 1, 0, 0, 0, "earlier", 77},
      {"-data.bin", 0, 1, 0, 0, 0, "earlier", 77},  {"-f", 0, 0, 0, 0, 0, "", 77},
      {"-f:", 0, 0, 0, 0, 0, "", 77},               {"-F:Out.TXT", 0, 0, 0, 0, 0, "Out.TXT", 77},
      {"-fout.txt", 0, 0, 0, 0, 0, "ut.txt", 77},   {"-o:100", 0, 0, 0, 0, 0, "earlier", 100},
      {"-o:$10", 0, 0, 0, 0, 0, "earlier", 16},     {"-O:$ff", 0, 0, 0, 0, 0, "earlier", 255},
      {"-ox12", 0, 0, 0, 0, 0, "earlier", 12},      {"-o:abc", 0, 0, 0, 0, 0, "earlier", 0},
      {"-o:12x", 0, 0, 0, 0, 0, "earlier", 0},      {"-o", 0, 0, 0, 0, 0, "earlier", 0},
      {"-o:-1", 0, 0, 0, 0, 0, "earlier", -1},      {"-o:$80000000", 0, 0, 0, 0, 0, "earlier", INT32_MIN},
      {"-s", 0, 0, 1, 1, 0, "earlier", 77},         {"-S:", 0, 0, 1, 1, 0, "earlier", 77},
      {"-s:2", 0, 0, 1, 0, 2, "earlier", 77},       {"-s:-1", 0, 0, 1, 0, -1, "earlier", 77},
      {"-s:$10", 0, 0, 1, 0, 16, "earlier", 77},    {"-sx5", 0, 0, 1, 0, 5, "earlier", 77},
  };
  for (const auto& c : cases) {
    RunSettings settings = Start();
    ASSERT_TRUE(ApplySwitch(c.parameter, settings)) << c.parameter;
    EXPECT_EQ(Fields(settings), std::make_tuple(c.ascending, c.descending, c.step, c.anyStep, c.stepSize,
                                                std::string(c.reportName), c.startOffset))
        << c.parameter;
  }
}

TEST(SwitchesTest, UnknownSwitchesChangeNothing) {
  for (const char* parameter : {"-", "-x", "-h", "-?", "-s:x", "-s:1 ", "-s:$", "--a"}) {
    RunSettings settings = Start();
    EXPECT_FALSE(ApplySwitch(parameter, settings)) << parameter;
    EXPECT_EQ(Fields(settings), Fields(Start())) << parameter;
  }
}

TEST(SwitchesTest, LastValueWins) {
  RunSettings settings;
  for (const char* parameter : {"-o:10", "-o:20", "-f:first", "-f:second", "-s:2", "-s"}) {
    ASSERT_TRUE(ApplySwitch(parameter, settings)) << parameter;
  }
  EXPECT_EQ(Fields(settings), std::make_tuple(false, false, true, true, 0, std::string("second"), 20));
}

}  // namespace
