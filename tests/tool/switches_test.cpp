#include "tool/switches.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

auto Fields(const RunSettings& settings) {
  const Selection& s = settings.selection;
  return std::make_tuple(s.ascending, s.descending, s.step, s.anyStep, s.step && !s.anyStep ? s.stepSize : 0,
                         settings.reportName, settings.startOffset);
}

// Only the letter after the dash counts, in either case; values skip the
// third character. The settings start away from the defaults, so that
// overwriting shows; an unknown switch changes nothing.
TEST(Switches, EachParameterSetsItsFieldAlone) {
  const struct {
    const char* parameter;
    bool known, ascending, descending, step, anyStep;
    int32_t stepSize;
    const char* reportName;
    int32_t startOffset;
  } cases[] = {
      {"-a", 1, 1, 0, 0, 0, 0, "earlier", 77},         {"-A", 1, 1, 0, 0, 0, 0, "earlier", 77},
      {"-ascending", 1, 1, 0, 0, 0, 0, "earlier", 77}, {"-Delta", 1, 0, 1, 0, 0, 0, "earlier", 77},
      {"-data.bin", 1, 0, 1, 0, 0, 0, "earlier", 77},  {"-f", 1, 0, 0, 0, 0, 0, "", 77},
      {"-f:", 1, 0, 0, 0, 0, 0, "", 77},               {"-F:Out.TXT", 1, 0, 0, 0, 0, 0, "Out.TXT", 77},
      {"-fout.txt", 1, 0, 0, 0, 0, 0, "ut.txt", 77},   {"-o:100", 1, 0, 0, 0, 0, 0, "earlier", 100},
      {"-o:$10", 1, 0, 0, 0, 0, 0, "earlier", 16},     {"-O:$ff", 1, 0, 0, 0, 0, 0, "earlier", 255},
      {"-ox12", 1, 0, 0, 0, 0, 0, "earlier", 12},      {"-o:abc", 1, 0, 0, 0, 0, 0, "earlier", 0},
      {"-o:12x", 1, 0, 0, 0, 0, 0, "earlier", 0},      {"-o", 1, 0, 0, 0, 0, 0, "earlier", 0},
      {"-o:-1", 1, 0, 0, 0, 0, 0, "earlier", -1},      {"-o:$80000000", 1, 0, 0, 0, 0, 0, "earlier", INT32_MIN},
      {"-s", 1, 0, 0, 1, 1, 0, "earlier", 77},         {"-S:", 1, 0, 0, 1, 1, 0, "earlier", 77},
      {"-s:2", 1, 0, 0, 1, 0, 2, "earlier", 77},       {"-s:-1", 1, 0, 0, 1, 0, -1, "earlier", 77},
      {"-s:$10", 1, 0, 0, 1, 0, 16, "earlier", 77},    {"-sx5", 1, 0, 0, 1, 0, 5, "earlier", 77},
      {"-", 0, 0, 0, 0, 0, 0, "earlier", 77},          {"-x", 0, 0, 0, 0, 0, 0, "earlier", 77},
      {"-h", 0, 0, 0, 0, 0, 0, "earlier", 77},         {"-?", 0, 0, 0, 0, 0, 0, "earlier", 77},
      {"-s:x", 0, 0, 0, 0, 0, 0, "earlier", 77},       {"-s:1 ", 0, 0, 0, 0, 0, 0, "earlier", 77},
      {"-s:$", 0, 0, 0, 0, 0, 0, "earlier", 77},       {"--a", 0, 0, 0, 0, 0, 0, "earlier", 77},
  };
  for (const auto& c : cases) {
    RunSettings settings;
    settings.startOffset = 77;
    settings.reportName = "earlier";
    EXPECT_EQ(ApplySwitch(c.parameter, settings), c.known) << c.parameter;
    EXPECT_EQ(Fields(settings), std::make_tuple(c.ascending, c.descending, c.step, c.anyStep, c.stepSize,
                                                std::string(c.reportName), c.startOffset))
        << c.parameter;
  }
  // Given again, the last value wins.
  RunSettings settings;
  for (const char* parameter : {"-o:10", "-o:20", "-f:first", "-f:second", "-s:2", "-s"}) ApplySwitch(parameter, settings);
  EXPECT_EQ(Fields(settings), std::make_tuple(false, false, true, true, 0, std::string("second"), 20));
}

}  // namespace
