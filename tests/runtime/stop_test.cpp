// The probe's endings seen from outside the process: it runs in a child
// process with its standard output on a chosen kind of destination, and the
// tests check the stop message in its exact form, the exit code, the places
// and call levels, and the hand-over that comes before the message.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "stop_reading.h"

namespace {

using stop_reading::ExpectFaultRows;
using stop_reading::ExpectStop;
using stop_reading::kHandedOver;
using stop_reading::ProbeRun;
using stop_reading::StopMessage;

// kClosed starts the probe with no standard output at all.
enum class OutputKind { kPipe, kFile, kTerminal, kClosedPipe, kClosed };

std::string ReadAll(int handle) {
  std::string text;
  char buffer[4096];
  ssize_t count;
  while ((count = read(handle, buffer, sizeof buffer)) > 0 || (count < 0 && errno == EINTR)) {
    if (count > 0) text.append(buffer, static_cast<size_t>(count));
  }
  return text;  // at the end, or at EIO once a terminal's last user left
}

int ScratchFile() {
  char pattern[] = "/tmp/zev-probe-XXXXXX";
  int handle = mkstemp(pattern);
  unlink(pattern);
  return handle;
}

std::string Rewound(int handle) {
  lseek(handle, 0, SEEK_SET);
  std::string text = ReadAll(handle);
  close(handle);
  return text;
}

ProbeRun RunProbe(const std::vector<std::string>& arguments, OutputKind kind) {
  ProbeRun run;
  int errors = ScratchFile(), output = kind == OutputKind::kFile ? ScratchFile() : -1, reader = -1, ends[2];
  bool piped = kind == OutputKind::kPipe || kind == OutputKind::kClosedPipe;
  if (piped && pipe(ends) == 0) {
    reader = kind == OutputKind::kPipe ? ends[0] : (close(ends[0]), -1);
    output = ends[1];
  }
  if (kind == OutputKind::kTerminal) {
    reader = posix_openpt(O_RDWR | O_NOCTTY);
    if (reader < 0 || grantpt(reader) != 0 || unlockpt(reader) != 0) return run;
    // Held open here too, so that what the child wrote is still there after it ended.
    output = open(ptsname(reader), O_RDWR | O_NOCTTY);
    termios settings;
    tcgetattr(output, &settings);
    cfmakeraw(&settings);  // the bytes as written, no CR added before LF
    tcsetattr(output, TCSANOW, &settings);
  }

  std::vector<char*> argv{const_cast<char*>(RUNTIME_PROBE)};
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  pid_t child = fork();
  if (child == 0) {
    output >= 0 ? dup2(output, 1) : close(1);
    dup2(errors, 2);
    execv(argv[0], argv.data());
    _exit(127);
  }

  if (piped) close(output);
  if (kind == OutputKind::kPipe) run.output = ReadAll(reader);
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  if (kind == OutputKind::kTerminal) {
    fcntl(reader, F_SETFL, fcntl(reader, F_GETFL) | O_NONBLOCK);
    run.output = ReadAll(reader);
    close(output);
  }
  if (kind == OutputKind::kFile) run.output = Rewound(output);
  if (reader >= 0) close(reader);
  run.errors = Rewound(errors);
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return run;
}

TEST(ProbeStop, EndProgramHandsOverAndEndsWithItsCodeAndNoMessage) {
  for (OutputKind kind : {OutputKind::kPipe, OutputKind::kFile}) {
    ProbeRun run = RunProbe({"exit"}, kind);
    EXPECT_EQ(run.exitCode, 7);
    EXPECT_EQ(run.output, kHandedOver);
  }
}

TEST(ProbeStop, ACheckedStopWritesTheMessageAndExitsWithTheNumber) {
  for (unsigned number : {2, 101, 300}) {
    for (OutputKind kind : {OutputKind::kPipe, OutputKind::kFile, OutputKind::kTerminal}) {
      SCOPED_TRACE(testing::Message() << number << " to kind " << static_cast<int>(kind));
      StopMessage message = ExpectStop(RunProbe({"check", std::to_string(number)}, kind), number);
      // Only the mode's call from main, main and the start-up code enclose
      // the stop: nothing outside the program's own code is listed.
      EXPECT_LE(message.levels.size(), 3u);
    }
  }
  // A message that cannot be written leaves the exit code alone.
  EXPECT_EQ(RunProbe({"check", "101"}, OutputKind::kClosedPipe).exitCode, 101);
}

TEST(ProbeStop, LevelsAreCappedAtNineOnATerminalAnd257Otherwise) {
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

TEST(ProbeStop, AStreamClosedAtStartIsTakenByNoFileOfTheRun) {
  char directory[] = "/tmp/zev-stop-XXXXXX";
  ASSERT_NE(mkdtemp(directory), nullptr);
  std::string input = std::string(directory) + "/input.bin", report = std::string(directory) + "/report.txt";
  std::ofstream(input, std::ios::binary) << "input bytes\n";
  auto contents = [](const std::string& path) {
    std::ifstream stream(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(stream), {});
  };
  EXPECT_EQ(RunProbe({"files-then-stop", input, report}, OutputKind::kClosed).exitCode, 101);
  EXPECT_EQ(contents(input), "input bytes\n");
  EXPECT_EQ(contents(report), "report\r\n");
  std::filesystem::remove_all(directory);
}

TEST(ProbeStop, ProcessorFaultsBecomeStopsAndPlacesPointIntoEachEnclosingLevel) {
  ExpectFaultRows({{"nested", 101, true, 0},
                   {"null", 216, true, 0},
                   {"divide", 200, true, 0},
                   {"float-divide", 200, false, 0},
                   {"illegal", 217, false, 0},
                   {"stack-overflow", 202, false, 257}},
                  [](const char* mode) { return RunProbe({mode}, OutputKind::kPipe); });
}

TEST(ProbeStop, AFailingHandOverIsSkippedAndTheFirstStopReported) {
  ExpectStop(RunProbe({"handover-fault"}, OutputKind::kPipe), 5, "");
}

}  // namespace
