#include "command_line/switches.h"
#include <gtest/gtest.h>
#include <tuple>

namespace {

// -a -d -s, any step, the step (its size, and whether it falls), -f: -o:
using Fields = std::tuple<bool, bool, bool, bool, uint64_t, bool, std::string, int32_t>;

Fields Of(const RunSettings& settings) {
  const Selection& s = settings.selection;
  const bool sized = s.step && !s.anyStep;
  return {s.ascending,     s.descending, s.step, s.anyStep, sized ? s.stepSize : 0, sized && s.stepDown, settings.reportName,
          settings.startOffset};
}

// Only the letter after the dash counts, in either case; values skip the third character. The settings start away
// from the defaults, so that overwriting shows. Unknown switches end the run, and are tested on the real program.
TEST(Switches, EachParameterSetsItsFieldAlone) {
  const std::pair<const char*, Fields> known[] = {
      {"-a", {1, 0, 0, 0, 0, 0, "earlier", 77}},         {"-A", {1, 0, 0, 0, 0, 0, "earlier", 77}},
      {"-ascending", {1, 0, 0, 0, 0, 0, "earlier", 77}}, {"-Delta", {0, 1, 0, 0, 0, 0, "earlier", 77}},
      {"-data.bin", {0, 1, 0, 0, 0, 0, "earlier", 77}},  {"-f", {0, 0, 0, 0, 0, 0, "", 77}},
      {"-f:", {0, 0, 0, 0, 0, 0, "", 77}},               {"-F:Out.TXT", {0, 0, 0, 0, 0, 0, "Out.TXT", 77}},
      {"-fout.txt", {0, 0, 0, 0, 0, 0, "ut.txt", 77}},   {"-o:100", {0, 0, 0, 0, 0, 0, "earlier", 100}},
      {"-o:$10", {0, 0, 0, 0, 0, 0, "earlier", 16}},     {"-O:$ff", {0, 0, 0, 0, 0, 0, "earlier", 255}},
      {"-ox12", {0, 0, 0, 0, 0, 0, "earlier", 12}},      {"-o:abc", {0, 0, 0, 0, 0, 0, "earlier", 0}},
      {"-o:12x", {0, 0, 0, 0, 0, 0, "earlier", 0}},      {"-o", {0, 0, 0, 0, 0, 0, "earlier", 0}},
      {"-o:-1", {0, 0, 0, 0, 0, 0, "earlier", -1}},      {"-o:$80000000", {0, 0, 0, 0, 0, 0, "earlier", INT32_MIN}},
      {"-s", {0, 0, 1, 1, 0, 0, "earlier", 77}},         {"-S:", {0, 0, 1, 1, 0, 0, "earlier", 77}},
      {"-s:2", {0, 0, 1, 0, 2, 0, "earlier", 77}},       {"-s:-1", {0, 0, 1, 0, 1, 1, "earlier", 77}},
      {"-s:$10", {0, 0, 1, 0, 16, 0, "earlier", 77}},
      {"-s:$FFFFFFFF", {0, 0, 1, 0, 1, 1, "earlier", 77}},  // a text of 32 bits means what it always did
      {"-s:4294967295", {0, 0, 1, 0, 4294967295u, 0, "earlier", 77}},
      {"-s:-18446744073709551615", {0, 0, 1, 0, UINT64_MAX, 1, "earlier", 77}},
      {"-sx5", {0, 0, 1, 0, 5, 0, "earlier", 77}}};
  for (const auto& [parameter, fields] : known) {
    runSettings = RunSettings();
    runSettings.startOffset = 77;
    runSettings.reportName = "earlier";
    ParseSwitch(parameter);
    EXPECT_EQ(Of(runSettings), fields) << parameter;
  }
  // Given again, the last value wins.
  runSettings = RunSettings();
  for (const char* parameter : {"-o:10", "-o:20", "-f:first", "-f:second", "-s:2", "-s"}) ParseSwitch(parameter);
  EXPECT_EQ(Of(runSettings), Fields(0, 0, 1, 1, 0, 0, "second", 20));
}

}  // namespace
