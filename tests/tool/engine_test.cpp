#include "tool/engine.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "child_run.h"
#include "harness/terminal_harness.h"
#include "tool/report.h"
#include "tool/run_settings.h"

namespace {

using harness::ReadFile;

struct Outcome {
  int exitCode;
  std::string lines;  // the report without its header
};

// The driver's steps from opening the inputs to closing them.
Outcome Compare(const std::vector<std::string>& inputs, RunSettings settings) {
  harness::TempDirectory scratch;
  for (size_t k = 0; k < inputs.size(); ++k) {
    settings.fileNames[k] = scratch.File("in" + std::to_string(k));
    harness::WriteFile(settings.fileNames[k], inputs[k]);
  }
  settings.fileCount = static_cast<int32_t>(inputs.size());
  settings.reportName = scratch.File("report");
  int code = tooltest::RunInChild([&] {
    runSettings = settings;
    OpenInputs();
    OpenReport(runSettings.reportName);
    StartAtOffset();
    WriteReportHeader(runSettings.fileNames, runSettings.fileCount, LargestComparedPosition());
    CompareBlocks();
    CloseReport();
    CloseInputs();
  });
  for (size_t k = 0; k < inputs.size(); ++k) {
    EXPECT_EQ(ReadFile(settings.fileNames[k]), inputs[k]) << "input " << k << " changed";
  }
  std::string report = ReadFile(settings.reportName);
  size_t end = report.find("\r\n");
  return {code, end == std::string::npos ? report : report.substr(end + 2)};
}

// The obvious model of the report's lines.
std::string ModelLines(const std::vector<std::string>& inputs, const RunSettings& s) {
  size_t shortest = SIZE_MAX;
  for (const std::string& input : inputs) shortest = std::min(shortest, input.size());
  std::string lines;
  for (size_t p = static_cast<size_t>(s.startOffset); p < shortest; ++p) {
    std::vector<int> x;
    for (const std::string& input : inputs) x.push_back(static_cast<uint8_t>(input[p]));
    bool different = false, rises = true, falls = true, steps = true;
    for (size_t k = 1; k < x.size(); ++k) {
      different |= x[k] != x[0];
      rises &= x[k] > x[k - 1];
      falls &= x[k] < x[k - 1];
      steps &= x[k] - x[k - 1] == (s.anyStep ? x[1] - x[0] : s.stepSize);
    }
    steps &= x[1] != x[0];
    bool any = s.ascending || s.descending || s.step;
    if (!different || (any && !(s.ascending && rises) && !(s.descending && falls) &&
                       !(s.step && steps))) {
      continue;
    }
    char text[32];
    std::snprintf(text, sizeof text, "%08zX  ", p);
    lines += text;
    for (int b : x) {
      std::snprintf(text, sizeof text, " \xB3%3d  $%02X '%c'", b, b, b < 32 ? '.' : b);
      lines.append(text, 14);
    }
    lines += "\r\n";
  }
  return lines;
}

// Blocks are counted from the start offset; positions stay absolute.
TEST(EngineTest, BlockEdges) {
  const struct {
    size_t length;
    int32_t offset;
    std::vector<size_t> differences;
  } cases[] = {
      {65535, 0, {0, 65534}},
      {65536, 0, {0, 65535}},
      {65537, 0, {65535, 65536}},
      {65536 + 16, 16, {16, 65551}},
      {65536 + 102, 100, {99, 100, 65635, 65636, 65637}},
      {200000, 0, {65536, 131071, 131072, 199999}},
  };
  for (const auto& c : cases) {
    std::vector<std::string> inputs = {std::string(c.length, 'a'), std::string(c.length, 'a')};
    for (size_t p : c.differences) inputs[1][p] = 'b';
    RunSettings settings;
    settings.startOffset = c.offset;
    Outcome outcome = Compare(inputs, settings);
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_EQ(outcome.lines, ModelLines(inputs, settings)) << "length " << c.length;
  }
}

TEST(EngineTest, NegativeOffsetStopsWithAnEmptyReport) {
  RunSettings settings;
  settings.startOffset = -1;
  Outcome outcome = Compare({"abcd", "abce"}, settings);
  EXPECT_EQ(outcome.exitCode, 131);
  EXPECT_EQ(outcome.lines, "");
}

// 2 to 10 inputs, lengths around the block size, offsets and every kind
// of selection; few distinct bytes make rising and stepping rows common.
TEST(EngineTest, RandomRunsMatchTheModel) {
  std::mt19937 random(20240607);
  for (int round = 0; round < 40; ++round) {
    int count = 2 + static_cast<int>(random() % 9);
    size_t base = random() % 3 == 0 ? random() % 300 : 65536 - 50 + random() % 100;
    int alphabet = 2 + static_cast<int>(random() % 6);
    std::vector<std::string> inputs;
    size_t shortest = SIZE_MAX;
    for (int k = 0; k < count; ++k) {
      std::string input(base + random() % 40, '\0');
      for (char& ch : input) ch = static_cast<char>(random() % alphabet * 37);
      shortest = std::min(shortest, input.size());
      inputs.push_back(input);
    }
    RunSettings settings;
    settings.startOffset = random() % 2 ? 0 : static_cast<int32_t>(random() % (shortest + 1));
    settings.ascending = random() % 3 == 0;
    settings.descending = random() % 3 == 0;
    settings.step = random() % 3 == 0;
    settings.anyStep = random() % 2 == 0;
    settings.stepSize = (static_cast<int32_t>(random() % 5) - 2) * 37;
    Outcome outcome = Compare(inputs, settings);
    ASSERT_EQ(outcome.exitCode, 0) << "round " << round;
    ASSERT_EQ(outcome.lines, ModelLines(inputs, settings)) << "round " << round;
  }
}

}  // namespace
