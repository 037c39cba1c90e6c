#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "runtime/probe_run.h"

namespace {

std::string Contents(const std::string& path) {
  std::ifstream stream(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(stream), {});
}

// How far into a function a place may lie and still count as inside it.
constexpr uint64_t kFunctionReach = 1024;

bool Within(uint64_t place, uint64_t functionStart) {
  return place >= functionStart && place < functionStart + kFunctionReach;
}

TEST(ProbeEnding, EndProgramEndsWithItsCodeAndNoMessage) {
  for (OutputKind kind : {OutputKind::kPipe, OutputKind::kFile}) {
    ProbeRun run = RunProbe({"exit"}, kind);
    ASSERT_TRUE(run.exited);
    EXPECT_EQ(run.exitCode, 7);
    EXPECT_EQ(run.output, "");
  }
}

struct StopCase {
  unsigned number;
  int exitCode;  // what an 8-bit exit status shows of the number
};

class CheckedStop : public testing::TestWithParam<StopCase> {};

TEST_P(CheckedStop, WritesTheExactMessageAndExitsWithTheNumber) {
  const StopCase& row = GetParam();
  for (OutputKind kind : {OutputKind::kPipe, OutputKind::kFile, OutputKind::kTerminal}) {
    ProbeRun run = RunProbe({"check", std::to_string(row.number)}, kind);
    ASSERT_TRUE(run.exited) << "signal " << run.signal;
    EXPECT_EQ(run.exitCode, row.exitCode);
    StopMessage message = ParseStopMessage(run.output);
    ASSERT_TRUE(message.wellFormed) << run.output;
    EXPECT_EQ(message.before, "");
    EXPECT_EQ(message.number, row.number);
    // Only the program's start-up code can enclose main.
    EXPECT_LE(message.levels.size(), 1u) << run.output;
  }
}

INSTANTIATE_TEST_SUITE_P(Numbers, CheckedStop,
                         testing::Values(StopCase{2, 2}, StopCase{101, 101}, StopCase{154, 154},
                                         StopCase{255, 255}, StopCase{300, 300 & 0xFF}));

TEST(ProbeStop, PlacesPointIntoTheCallerAndEachEnclosingLevel) {
  ProbeRun run = RunProbe({"nested"}, OutputKind::kFile);
  ASSERT_TRUE(run.exited);
  EXPECT_EQ(run.exitCode, 101);
  StopMessage message = ParseStopMessage(run.output);
  ASSERT_TRUE(message.wellFormed) << run.output;
  auto offsets = AnnouncedOffsets(run.errors);
  ASSERT_EQ(offsets.size(), 3u) << run.errors;
  EXPECT_TRUE(Within(message.place, offsets["inner"])) << run.output << run.errors;
  ASSERT_GE(message.levels.size(), 3u) << run.output;  // middle, outer, main
  EXPECT_TRUE(Within(message.levels[0], offsets["middle"])) << run.output << run.errors;
  EXPECT_TRUE(Within(message.levels[1], offsets["outer"])) << run.output << run.errors;
}

TEST(ProbeStop, LevelsAreCappedAtNineOnATerminalAnd257Otherwise) {
  struct Case {
    OutputKind kind;
    const char* depth;
    size_t fewestLevels;
    size_t mostLevels;
  };
  // Deep(n) stops in its innermost call: n calls of Deep enclose it, then
  // main, then possibly the program's start-up code.
  const Case cases[] = {
      {OutputKind::kTerminal, "30", 9, 9},
      {OutputKind::kTerminal, "3", 4, 5},
      {OutputKind::kPipe, "30", 31, 32},
      {OutputKind::kFile, "400", 257, 257},
      {OutputKind::kPipe, "400", 257, 257},
  };
  for (const Case& row : cases) {
    ProbeRun run = RunProbe({"deep", row.depth}, row.kind);
    ASSERT_TRUE(run.exited);
    EXPECT_EQ(run.exitCode, 101);
    StopMessage message = ParseStopMessage(run.output);
    ASSERT_TRUE(message.wellFormed) << run.output;
    EXPECT_GE(message.levels.size(), row.fewestLevels) << "depth " << row.depth;
    EXPECT_LE(message.levels.size(), row.mostLevels) << "depth " << row.depth;
  }
}

TEST(ProbeStop, AFailedMessageWriteLeavesTheExitCodeAlone) {
  ProbeRun run = RunProbe({"check", "101"}, OutputKind::kClosedPipe);
  ASSERT_TRUE(run.exited) << "signal " << run.signal;
  EXPECT_EQ(run.exitCode, 101);
}

TEST(ProbeStop, AStreamClosedAtStartIsTakenByNoFileOfTheRun) {
  char pattern[] = "/tmp/zev-stop-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  std::string directory = pattern;
  std::string input = directory + "/input.bin", report = directory + "/report.txt";
  const std::string contents = "input bytes\n";
  std::ofstream(input, std::ios::binary) << contents;

  ProbeRun run = RunProbe({"files-then-stop", input, report}, OutputKind::kClosed);
  EXPECT_EQ(run.exitCode, 101) << run.errors;
  EXPECT_EQ(Contents(input), contents);
  EXPECT_EQ(Contents(report), "report\r\n");
  std::filesystem::remove_all(directory);
}

struct FaultCase {
  const char* mode;
  unsigned number;
  bool placeChecked;  // the probe announces the faulting function and its caller
};

class ProcessorFault : public testing::TestWithParam<FaultCase> {};

TEST_P(ProcessorFault, BecomesARunTimeErrorStop) {
  const FaultCase& row = GetParam();
  ProbeRun run = RunProbe({row.mode}, OutputKind::kPipe);
  ASSERT_TRUE(run.exited) << row.mode << ": signal " << run.signal << "\n" << run.errors;
  EXPECT_EQ(run.exitCode, static_cast<int>(row.number)) << row.mode;
  StopMessage message = ParseStopMessage(run.output);
  ASSERT_TRUE(message.wellFormed) << row.mode << ": " << run.output;
  EXPECT_EQ(message.number, row.number);
  EXPECT_GE(message.levels.size(), 1u) << row.mode;
  if (row.placeChecked) {
    auto offsets = AnnouncedOffsets(run.errors);
    EXPECT_TRUE(Within(message.place, offsets["inner"])) << run.output << run.errors;
    EXPECT_TRUE(Within(message.levels[0], offsets["middle"])) << run.output << run.errors;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Faults, ProcessorFault,
    testing::Values(FaultCase{"null", 216, true}, FaultCase{"divide", 200, true},
                    FaultCase{"float-divide", 200, false}, FaultCase{"float-invalid", 207, false},
                    FaultCase{"float-overflow", 205, false}, FaultCase{"float-underflow", 206, false},
                    FaultCase{"illegal", 217, false}, FaultCase{"breakpoint", 217, false},
                    FaultCase{"stack-overflow", 202, false}),
    [](const testing::TestParamInfo<FaultCase>& info) {
      std::string name = info.param.mode;
      for (char& character : name) {
        if (character == '-') character = '_';
      }
      return name;
    });

TEST(ProbeStop, AStackOverflowListsAtMost257Levels) {
  ProbeRun run = RunProbe({"stack-overflow"}, OutputKind::kFile);
  ASSERT_TRUE(run.exited);
  EXPECT_EQ(run.exitCode, 202);
  StopMessage message = ParseStopMessage(run.output);
  ASSERT_TRUE(message.wellFormed) << run.output;
  EXPECT_EQ(message.levels.size(), 257u);
}

TEST(HandOver, RunsBeforeTheStopMessage) {
  ProbeRun run = RunProbe({"handover"}, OutputKind::kPipe);
  EXPECT_EQ(run.exitCode, 101);
  StopMessage message = ParseStopMessage(run.output);
  ASSERT_TRUE(message.wellFormed) << run.output;
  EXPECT_EQ(message.before, "handed over\r\n");
}

TEST(HandOver, RunsOnAProcessorFaultToo) {
  ProbeRun run = RunProbe({"handover-on-fault"}, OutputKind::kFile);
  EXPECT_EQ(run.exitCode, 216);
  StopMessage message = ParseStopMessage(run.output);
  ASSERT_TRUE(message.wellFormed) << run.output;
  EXPECT_EQ(message.before, "handed over\r\n");
}

TEST(HandOver, RunsOnAPlainEndWithoutAnyMessage) {
  ProbeRun run = RunProbe({"handover-exit"}, OutputKind::kPipe);
  EXPECT_EQ(run.exitCode, 3);
  EXPECT_EQ(run.output, "handed over\r\n");
}

TEST(HandOver, AFailingRoutineIsSkippedAndTheFirstStopReported) {
  ProbeRun run = RunProbe({"handover-fault"}, OutputKind::kPipe);
  ASSERT_TRUE(run.exited) << "signal " << run.signal;
  EXPECT_EQ(run.exitCode, 5);
  StopMessage message = ParseStopMessage(run.output);
  ASSERT_TRUE(message.wellFormed) << run.output;
  EXPECT_EQ(message.number, 5u);
  EXPECT_EQ(message.before, "");
}

TEST(HandOver, CanWriteThoughAnErrorWasPendingAtTheStop) {
  ProbeRun run = RunProbe({"handover-pending"}, OutputKind::kPipe);
  EXPECT_EQ(run.exitCode, 77);
  StopMessage message = ParseStopMessage(run.output);
  ASSERT_TRUE(message.wellFormed) << run.output;
  EXPECT_EQ(message.before, "through files\r\n");
  // Without a place of its own, the stop is placed in its caller.
  auto offsets = AnnouncedOffsets(run.errors);
  EXPECT_TRUE(Within(message.place, offsets["middle"])) << run.output << run.errors;
}

TEST(ProbeParameters, ArgumentsArriveUnchangedAndEntryZeroIsTheProgramsPath) {
  ProbeRun run = RunProbe({"params", "a b", "", "'q'", "\"x\""}, OutputKind::kPipe);
  EXPECT_EQ(run.exitCode, 0);
  char* resolved = realpath(RUNTIME_PROBE, nullptr);
  ASSERT_NE(resolved, nullptr);
  std::string expected = "count 5\n[" + std::string(resolved) + "]\n[params]\n[a b]\n[]\n['q']\n[\"x\"]\n";
  free(resolved);
  EXPECT_EQ(run.output, expected);
}

}  // namespace
