#include "command_line/switches.h"

#include <gtest/gtest.h>

namespace {

// What a switch sets. The settings start away from the defaults, so that overwriting shows.
struct Fields {
  bool ascending = false, descending = false, step = false, anyStep = false;
  uint64_t stepSize = 0;
  bool stepDown = false;
  std::string report = "earlier";
  int32_t offset = 77;
  bool operator==(const Fields&) const = default;
};

Fields Of(const RunSettings& settings) {
  const Selection& s = settings.selection;
  const bool sized = s.step && !s.anyStep;
  return {s.ascending,         s.descending,        s.step, s.anyStep, sized ? s.stepSize : 0, sized && s.stepDown,
          settings.reportName, settings.startOffset};
}

// Only the letter after the dash counts, and the third character is skipped unread; an offset that is no number
// is 0; a step text of 32 bits means what it always did, a longer one is a step of up to 64 bits.
TEST(Switches, EachParameterSetsItsFieldAlone) {
  const std::pair<const char*, Fields> rows[] = {
      {"-F:Out.TXT", {.report = "Out.TXT"}},
      {"-fout.txt", {.report = "ut.txt"}},
      {"-ox12", {.offset = 12}},
      {"-o:12x", {.offset = 0}},
      {"-o", {.offset = 0}},
      {"-o:$80000000", {.offset = INT32_MIN}},
      {"-sx5", {.step = true, .stepSize = 5}},
      {"-s:$FFFFFFFF", {.step = true, .stepSize = 1, .stepDown = true}},
      {"-s:4294967295", {.step = true, .stepSize = 4294967295u}},
      {"-s:-18446744073709551615", {.step = true, .stepSize = UINT64_MAX, .stepDown = true}}};
  for (const auto& [parameter, fields] : rows) {
    runSettings = RunSettings();
    runSettings.startOffset = 77;
    runSettings.reportName = "earlier";
    ParseSwitch(parameter);
    EXPECT_TRUE(Of(runSettings) == fields) << parameter;
  }
  // Given again, the last value wins.
  runSettings = RunSettings();
  for (const char* parameter : {"-o:10", "-o:20", "-f:first", "-f:second", "-s:2", "-s"}) ParseSwitch(parameter);
  EXPECT_TRUE(Of(runSettings) == (Fields{.step = true, .anyStep = true, .report = "second", .offset = 20}));
  for (const char* parameter : {"-s", "-s:2"}) ParseSwitch(parameter);
  EXPECT_TRUE(Of(runSettings) == (Fields{.step = true, .stepSize = 2, .report = "second", .offset = 20}));
}

// A pattern with more steps than ten inputs have is refused, and nothing is stored past the last step.
TEST(Switches, ALongPatternStaysInsideTheSteps) {
  RunSettings settings;
  settings.fileCount = kMostFiles;
  settings.selection.pattern = true;
  settings.patternText = std::string(kMostFiles, '+');
  EXPECT_EQ(ReadPattern(settings), "Count of steps must be the count of files less one");
}

}  // namespace
