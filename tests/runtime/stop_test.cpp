// The probe's endings seen from outside the process: the stop message in
// its exact form, the exit code, the places and call levels, and the
// hand-over that comes before the message.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "runtime/probe_run.h"

namespace {

const std::string kHandedOver = "handed over\r\n";

// How far into a function a place may lie and still count as inside it.
bool Within(uint64_t place, uint64_t functionStart) {
  return place >= functionStart && place < functionStart + 1024;
}

StopMessage ExpectStop(const ProbeRun& run, unsigned number, const std::string& before = kHandedOver) {
  EXPECT_EQ(run.exitCode, static_cast<int>(number & 0xFF)) << run.errors;  // an 8-bit exit status
  StopMessage message = ParseStopMessage(run.output);
  EXPECT_TRUE(message.wellFormed) << run.output;
  EXPECT_EQ(message.number, number);
  EXPECT_EQ(message.before, before);
  return message;
}

TEST(ProbeStop, EndProgramHandsOverAndEndsWithItsCodeAndNoMessage) {
  for (OutputKind kind : {OutputKind::kPipe, OutputKind::kFile}) {
    ProbeRun run = RunProbe({"exit"}, kind);
    EXPECT_EQ(run.exitCode, 7);
    EXPECT_EQ(run.output, kHandedOver);
  }
}

TEST(ProbeStop, ACheckedStopWritesTheMessageAndExitsWithTheNumber) {
  for (unsigned number : {2, 101, 154, 255, 300}) {
    for (OutputKind kind : {OutputKind::kPipe, OutputKind::kFile, OutputKind::kTerminal}) {
      SCOPED_TRACE(testing::Message() << number << " to kind " << static_cast<int>(kind));
      StopMessage message = ExpectStop(RunProbe({"check", std::to_string(number)}, kind), number);
      // Only the mode's call from main, main and the start-up code enclose
      // the stop: nothing outside the program's own code is listed.
      EXPECT_LE(message.levels.size(), 3u);
    }
  }
}

TEST(ProbeStop, PlacesPointIntoTheCallerAndEachEnclosingLevel) {
  ProbeRun run = RunProbe({"nested"}, OutputKind::kFile);
  StopMessage message = ExpectStop(run, 101);
  auto offsets = AnnouncedOffsets(run.errors);
  ASSERT_EQ(offsets.size(), 3u) << run.errors;
  ASSERT_GE(message.levels.size(), 3u) << run.output;
  EXPECT_TRUE(Within(message.place, offsets["inner"])) << run.output << run.errors;
  EXPECT_TRUE(Within(message.levels[0], offsets["middle"])) << run.output << run.errors;
  EXPECT_TRUE(Within(message.levels[1], offsets["outer"])) << run.output << run.errors;
}

TEST(ProbeStop, LevelsAreCappedAtNineOnATerminalAnd257Otherwise) {
  // Deep(n) stops inside n calls of itself, within the probe's own levels.
  auto levels = [](int depth, OutputKind kind) {
    SCOPED_TRACE(testing::Message() << "depth " << depth << " to kind " << static_cast<int>(kind));
    return ExpectStop(RunProbe({"deep", std::to_string(depth)}, kind), 101).levels.size();
  };
  size_t few = levels(3, OutputKind::kPipe);
  EXPECT_GE(few, 4u);
  EXPECT_LT(few, 9u);
  EXPECT_EQ(levels(3, OutputKind::kTerminal), few);
  EXPECT_EQ(levels(30, OutputKind::kPipe), few + 27);
  EXPECT_EQ(levels(30, OutputKind::kTerminal), 9u);
  EXPECT_EQ(levels(400, OutputKind::kFile), 257u);
  EXPECT_EQ(levels(400, OutputKind::kPipe), 257u);
}

TEST(ProbeStop, AFailedMessageWriteLeavesTheExitCodeAlone) {
  EXPECT_EQ(RunProbe({"check", "101"}, OutputKind::kClosedPipe).exitCode, 101);
}

TEST(ProbeStop, AStreamClosedAtStartIsTakenByNoFileOfTheRun) {
  char pattern[] = "/tmp/zev-stop-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  std::string input = std::string(pattern) + "/input.bin", report = std::string(pattern) + "/report.txt";
  std::ofstream(input, std::ios::binary) << "input bytes\n";
  auto contents = [](const std::string& path) {
    std::ifstream stream(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(stream), {});
  };
  EXPECT_EQ(RunProbe({"files-then-stop", input, report}, OutputKind::kClosed).exitCode, 101);
  EXPECT_EQ(contents(input), "input bytes\n");
  EXPECT_EQ(contents(report), "report\r\n");
  std::filesystem::remove_all(pattern);
}

TEST(ProbeStop, ProcessorFaultsBecomeRunTimeErrorStops) {
  const struct {
    const char* mode;
    unsigned number;
    bool placeChecked;  // the probe announces the faulting function and its caller
    size_t levels;      // 0: any number from 1
  } cases[] = {
      {"null", 216, true, 0},          {"divide", 200, true, 0},          {"float-divide", 200, false, 0},
      {"float-invalid", 207, false, 0}, {"float-overflow", 205, false, 0}, {"float-underflow", 206, false, 0},
      {"illegal", 217, false, 0},      {"breakpoint", 217, false, 0},     {"stack-overflow", 202, false, 257},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.mode);
    ProbeRun run = RunProbe({row.mode}, OutputKind::kPipe);
    StopMessage message = ExpectStop(run, row.number);
    ASSERT_GE(message.levels.size(), 1u);
    if (row.levels != 0) {
      EXPECT_EQ(message.levels.size(), row.levels);
    }
    if (row.placeChecked) {
      auto offsets = AnnouncedOffsets(run.errors);
      EXPECT_TRUE(Within(message.place, offsets["inner"])) << run.output << run.errors;
      EXPECT_TRUE(Within(message.levels[0], offsets["middle"])) << run.output << run.errors;
    }
  }
}

TEST(ProbeStop, AFailingHandOverIsSkippedAndTheFirstStopReported) {
  ExpectStop(RunProbe({"handover-fault"}, OutputKind::kPipe), 5, "");
}

TEST(ProbeStop, TheHandOverWritesThoughAnErrorWasPendingAndAStopWithoutPlaceIsInItsCaller) {
  ProbeRun run = RunProbe({"handover-pending"}, OutputKind::kPipe);
  StopMessage message = ExpectStop(run, 77, "through files\r\n");
  EXPECT_TRUE(Within(message.place, AnnouncedOffsets(run.errors)["middle"])) << run.output << run.errors;
}

TEST(ProbeParameters, ArgumentsArriveUnchangedAndEntryZeroIsTheProgramsPath) {
  ProbeRun run = RunProbe({"params", "a b", "", "'q'", "\"x\""}, OutputKind::kPipe);
  EXPECT_EQ(run.exitCode, 0);
  char* resolved = realpath(RUNTIME_PROBE, nullptr);
  ASSERT_NE(resolved, nullptr);
  EXPECT_EQ(run.output, "count 5\n[" + std::string(resolved) + "]\n[params]\n[a b]\n[]\n['q']\n[\"x\"]\n" + kHandedOver);
  free(resolved);
}

}  // namespace
