#include "harness/terminal_harness.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <string>
#include <thread>

namespace {

using harness::RunOnTerminal;
using harness::RunOptions;
using harness::RunResult;
using harness::StdoutMode;

RunOptions Shell(const std::string& script) {
  RunOptions options;
  options.program = "/bin/sh";
  options.args = {"-c", script};
  options.timeoutMilliseconds = 10000;
  return options;
}

TEST(TerminalHarness, ScreenTextKeepsInnerBlanksAndDropsTrailingOnes) {
  RunResult result = RunOnTerminal(Shell("printf 'ab\\033[1;6Hc\\r\\n\\r\\nlast   '"));
  ASSERT_EQ(result.exitCode, 0) << result.harnessError;
  EXPECT_FALSE(result.timedOut);
  EXPECT_EQ(result.RowText(0), "ab   c");
  EXPECT_EQ(result.RowText(1), "");
  EXPECT_EQ(result.RowText(2), "last");
  EXPECT_EQ(result.ScreenText(), "ab   c\n\nlast");
  EXPECT_EQ(result.At(0, 0).text, "a");
  EXPECT_EQ(result.At(0, 3).text, "");
  EXPECT_EQ(result.columns, 80);
  EXPECT_EQ(result.rows, 25);
  ASSERT_EQ(result.screen.size(), 25u);
  EXPECT_EQ(result.screen[0].size(), 80u);
}

struct ColourCase {
  const char* sequence;  // printed before the X in the top-left cell
  int foreground;
  int background;
  bool bold;
  bool reverse;
};

TEST(TerminalHarness, ColoursAreThePaletteIndicesTheProgramSent) {
  const ColourCase cases[] = {
      {"", -1, -1, false, false},
      {"\\033[31m", 1, -1, false, false},
      {"\\033[91m", 9, -1, false, false},
      {"\\033[44m", -1, 4, false, false},
      {"\\033[97;100m", 15, 8, false, false},
      {"\\033[92;40m", 10, 0, false, false},
      {"\\033[1;31m", 1, -1, true, false},  // bold stays colour 1, not 9
      {"\\033[93;41m\\033[0m", -1, -1, false, false},
      {"\\033[36;45m\\033[39m", -1, 5, false, false},
      {"\\033[7m", -1, -1, false, true},
      {"\\033[38;5;196m", 196, -1, false, false},
      {"\\033[38;2;1;2;3m", -2, -1, false, false},
  };
  for (const ColourCase& c : cases) {
    SCOPED_TRACE(c.sequence);
    RunResult result = RunOnTerminal(Shell(std::string("printf '") + c.sequence + "X'"));
    ASSERT_EQ(result.exitCode, 0) << result.harnessError;
    const harness::Cell& cell = result.At(0, 0);
    EXPECT_EQ(cell.text, "X");
    EXPECT_EQ(cell.foreground, c.foreground);
    EXPECT_EQ(cell.background, c.background);
    EXPECT_EQ(cell.bold, c.bold);
    EXPECT_EQ(cell.reverse, c.reverse);
  }
}

TEST(TerminalHarness, ErasedCellsTakeTheCurrentBackground) {
  RunResult result = RunOnTerminal(Shell("printf '\\033[46m\\033[2J'"));
  ASSERT_EQ(result.exitCode, 0) << result.harnessError;
  EXPECT_EQ(result.At(0, 0).background, 6);
  EXPECT_EQ(result.At(24, 79).background, 6);
  EXPECT_EQ(result.ScreenText(), "");
}

TEST(TerminalHarness, CursorIsZeroBasedAndClampedToTheChosenSize) {
  RunResult placed = RunOnTerminal(Shell("printf '\\033[5;10H'"));
  EXPECT_EQ(placed.cursorRow, 4);
  EXPECT_EQ(placed.cursorColumn, 9);

  RunOptions options = Shell("stty size; printf '\\033[999;999H'");
  options.columns = 40;
  options.rows = 10;
  RunResult small = RunOnTerminal(options);
  ASSERT_EQ(small.exitCode, 0) << small.harnessError;
  EXPECT_EQ(small.RowText(0), "10 40");  // what the program itself was told
  EXPECT_EQ(small.rows, 10);
  EXPECT_EQ(small.columns, 40);
  EXPECT_EQ(small.cursorRow, 9);
  EXPECT_EQ(small.cursorColumn, 39);
}

TEST(TerminalHarness, WideCharacterTakesTwoCells) {
  // U+4E2D in UTF-8, then an ASCII letter.
  RunResult result = RunOnTerminal(Shell("printf '\\344\\270\\255x'"));
  ASSERT_EQ(result.exitCode, 0) << result.harnessError;
  EXPECT_EQ(result.At(0, 0).text, "\xe4\xb8\xad");
  EXPECT_EQ(result.At(0, 0).width, 2);
  EXPECT_EQ(result.At(0, 1).width, 0);
  EXPECT_EQ(result.At(0, 1).text, "");
  EXPECT_EQ(result.At(0, 2).text, "x");
  EXPECT_EQ(result.RowText(0), "\xe4\xb8\xadx");
  EXPECT_EQ(result.cursorColumn, 3);
}

TEST(TerminalHarness, RowsScrolledOffTheTopAreKept) {
  RunOptions options = Shell("i=1; while [ $i -le 30 ]; do echo $i; i=$((i+1)); done");
  options.rows = 10;
  RunResult result = RunOnTerminal(options);
  ASSERT_EQ(result.exitCode, 0) << result.harnessError;
  // 30 lines and the empty one after them: 21 go, 22..30 stay.
  ASSERT_EQ(result.scrolledOff.size(), 21u);
  EXPECT_EQ(result.scrolledOff.front(), "1");
  EXPECT_EQ(result.scrolledOff.back(), "21");
  EXPECT_EQ(result.RowText(0), "22");
  EXPECT_EQ(result.RowText(8), "30");
}

struct StreamCase {
  StdoutMode mode;
  const char* screen;
  const char* stdoutBytes;
};

TEST(TerminalHarness, RedirectedStdoutBypassesTheScreen) {
  const StreamCase cases[] = {
      {StdoutMode::Terminal, "out:tty err", ""},
      {StdoutMode::File, "err", "out:file\n"},
      {StdoutMode::Pipe, "err", "out:pipe\n"},
  };
  for (const StreamCase& c : cases) {
    SCOPED_TRACE(c.screen);
    RunOptions options = Shell(
        "if [ -t 1 ]; then printf 'out:tty '; "
        "elif [ -p /dev/stdout ]; then echo out:pipe; else echo out:file; fi; "
        "[ -t 0 ] && [ -t 2 ] && printf err >&2");
    options.stdoutMode = c.mode;
    RunResult result = RunOnTerminal(options);
    ASSERT_EQ(result.exitCode, 0) << result.harnessError;
    EXPECT_EQ(result.ScreenText(), c.screen);
    EXPECT_EQ(result.stdoutBytes, c.stdoutBytes);
    EXPECT_EQ(result.stderrBytes, "");
  }
}

TEST(TerminalHarness, TerminalBytesAreRawAndStdoutFileIsBinaryExact) {
  // Standard output to a file must keep every byte, with no CR added.
  RunOptions options = Shell("printf '\\033[31mA' >&2; printf 'a\\000b\\377\\n'");
  options.stdoutMode = StdoutMode::File;
  RunResult result = RunOnTerminal(options);
  ASSERT_EQ(result.exitCode, 0) << result.harnessError;
  EXPECT_EQ(result.terminalBytes, "\033[31mA");
  EXPECT_EQ(result.stdoutBytes, std::string("a\0b\377\n", 5));
}

TEST(TerminalHarness, LargePipeOutputIsCapturedWhole) {
  const size_t kSize = 1 << 20;
  RunOptions options = Shell("head -c 1048576 /dev/zero | tr '\\000' a; echo done >&2");
  options.stdoutMode = StdoutMode::Pipe;
  RunResult result = RunOnTerminal(options);
  ASSERT_EQ(result.exitCode, 0) << result.harnessError;
  EXPECT_FALSE(result.timedOut);
  ASSERT_EQ(result.stdoutBytes.size(), kSize);
  EXPECT_EQ(result.stdoutBytes.find_first_not_of('a'), std::string::npos);
  EXPECT_EQ(result.ScreenText(), "done");
}

TEST(TerminalHarness, LargeTerminalOutputReachesTheScreen) {
  RunResult result = RunOnTerminal(Shell("seq 1 20000"));
  ASSERT_EQ(result.exitCode, 0) << result.harnessError;
  EXPECT_FALSE(result.timedOut);
  EXPECT_EQ(result.RowText(23), "20000");
  EXPECT_EQ(result.scrolledOff.size(), 20000u + 1 - 25);
}

TEST(TerminalHarness, AnswersCursorPositionQuery) {
  harness::TempDirectory directory;
  std::string reply = directory.File("reply");
  RunOptions options = Shell(
      "stty raw -echo; printf '\\033[3;7H\\033[6n'; "
      "dd bs=1 count=6 of=" + reply + " 2>/dev/null; stty sane");
  options.timeoutMilliseconds = 5000;
  RunResult result = RunOnTerminal(options);
  EXPECT_FALSE(result.timedOut);
  EXPECT_EQ(result.exitCode, 0) << result.harnessError;
  EXPECT_EQ(harness::ReadFile(reply), "\033[3;7R");
}

struct ExitCase {
  const char* script;
  int exitCode;
};

TEST(TerminalHarness, ExitCodes) {
  const ExitCase cases[] = {
      {"exit 0", 0},
      {"exit 3", 3},
      {"exit 255", 255},
      {"kill -TERM $$", 128 + 15},
      {"kill -KILL $$", 128 + 9},
  };
  for (const ExitCase& c : cases) {
    SCOPED_TRACE(c.script);
    RunResult result = RunOnTerminal(Shell(c.script));
    EXPECT_EQ(result.exitCode, c.exitCode) << result.harnessError;
    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(result.harnessError, "");
  }
}

TEST(TerminalHarness, ProgramThatCannotStartIsReported) {
  RunOptions options;
  options.program = "/nonexistent/zev";
  RunResult result = RunOnTerminal(options);
  EXPECT_EQ(result.exitCode, 127);
  EXPECT_NE(result.harnessError.find("/nonexistent/zev"), std::string::npos);
  EXPECT_FALSE(result.timedOut);
}

TEST(TerminalHarness, WithoutControllingTerminalTtyCannotBeOpened) {
  RunOptions options = Shell(
      "if (exec 3<>/dev/tty) 2>/dev/null; then echo tty; else echo no-tty; fi; "
      "[ -t 0 ] || [ -t 1 ] || [ -t 2 ] || echo no-std-tty; "
      "echo message >&2; exit 1");
  options.controllingTerminal = false;
  RunResult result = RunOnTerminal(options);
  EXPECT_EQ(result.exitCode, 1) << result.harnessError;
  EXPECT_EQ(result.stdoutBytes, "no-tty\nno-std-tty\n");
  EXPECT_EQ(result.stderrBytes, "message\n");
  EXPECT_EQ(result.terminalBytes, "");
  EXPECT_EQ(result.ScreenText(), "");

  options.stdoutMode = StdoutMode::Pipe;
  RunResult piped = RunOnTerminal(options);
  EXPECT_EQ(piped.stdoutBytes, "no-tty\nno-std-tty\n");
  EXPECT_EQ(piped.stderrBytes, "message\n");
}

TEST(TerminalHarness, TimeoutKillsTheProgramWithinTheDeadline) {
  RunOptions options = Shell("echo started; sleep 100");
  options.timeoutMilliseconds = 1000;
  auto start = std::chrono::steady_clock::now();
  RunResult result = RunOnTerminal(options);
  auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_TRUE(result.timedOut);
  EXPECT_EQ(result.exitCode, 128 + 9);
  EXPECT_EQ(result.RowText(0), "started");  // output before the kill is kept
  EXPECT_LT(elapsed, std::chrono::seconds(10));
}

// True once the process is gone or only a zombie waiting for its reaper.
bool ProcessEnded(const std::string& pid) {
  for (int attempt = 0; attempt < 200; ++attempt) {
    std::string stat = harness::ReadFile("/proc/" + pid + "/stat");
    size_t close = stat.rfind(')');
    if (stat.empty() || (close != std::string::npos && stat.compare(close, 3, ") Z") == 0)) {
      return true;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

TEST(TerminalHarness, LeftoverBackgroundProcessDoesNotHoldTheRun) {
  // Immune to the hang-up at the shell's exit, the background sleep keeps
  // the terminal open after the program has ended.
  harness::TempDirectory directory;
  std::string pidFile = directory.File("pid");
  RunOptions options = Shell("trap '' HUP; sleep 100 & echo $! > " + pidFile + "; echo done");
  auto start = std::chrono::steady_clock::now();
  RunResult result = RunOnTerminal(options);
  auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_FALSE(result.timedOut);
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.RowText(0), "done");
  EXPECT_LT(elapsed, std::chrono::seconds(5));
  std::string pid = harness::ReadFile(pidFile);
  while (!pid.empty() && pid.back() == '\n') pid.pop_back();
  ASSERT_FALSE(pid.empty());
  EXPECT_TRUE(ProcessEnded(pid)) << "sleep " << pid << " outlived the run";
}

TEST(TerminalHarness, EnvironmentKeepsAllButTerm) {
  setenv("ZEV_HARNESS_PROBE", "kept", 1);
  RunResult result = RunOnTerminal(Shell("echo \"$TERM $ZEV_HARNESS_PROBE\""));
  unsetenv("ZEV_HARNESS_PROBE");
  EXPECT_EQ(result.RowText(0), "xterm-256color kept");
}

TEST(TerminalHarness, OnlyTheStandardStreamsAreInherited) {
  // The shell's own descriptors are 0, 1 and 2; anything above would be a
  // leak from the harness (its pty master, pipes, scratch files).
  RunResult result = RunOnTerminal(Shell(
      "n=3; while [ $n -lt 64 ]; do [ -e /proc/$$/fd/$n ] && echo leak $n; "
      "n=$((n+1)); done; echo checked"));
  EXPECT_EQ(result.ScreenText(), "checked");
}

TEST(TerminalHarness, WorkingDirectoryAndUnprivilegedUser) {
  harness::TempDirectory directory;
  harness::WriteFile(directory.File("input"), "old");
  RunOptions options = Shell("pwd; id -u; touch made; printf new >> input");
  options.workingDirectory = directory.path;
  options.unprivileged = true;
  RunResult result = RunOnTerminal(options);
  ASSERT_EQ(result.exitCode, 0) << result.harnessError << result.ScreenText();
  EXPECT_EQ(result.RowText(0), directory.path);
  if (harness::RunningAsRoot()) {
    EXPECT_EQ(result.RowText(1), "65534");
  }
  EXPECT_TRUE(harness::FileExists(directory.File("made")));
  EXPECT_EQ(harness::ReadFile(directory.File("input")), "oldnew");
}

TEST(TempDirectory, FilesAreBinaryExactAndRemovedWithTheDirectory) {
  std::string all;
  for (int byte = 0; byte < 256; ++byte) all.push_back(static_cast<char>(byte));
  std::string path;
  {
    harness::TempDirectory directory;
    path = directory.path;
    ASSERT_FALSE(path.empty());
    harness::WriteFile(directory.File("bytes"), all + "\r\n");
    EXPECT_EQ(harness::ReadFile(directory.File("bytes")), all + "\r\n");
    EXPECT_EQ(harness::ReadFile(directory.File("missing")), "");
    EXPECT_FALSE(harness::FileExists(directory.File("missing")));
    harness::WriteFile(directory.File("empty"), "");
    EXPECT_TRUE(harness::FileExists(directory.File("empty")));
    EXPECT_EQ(system(("mkdir -p " + directory.File("sub/deeper") + " && chmod 0 " +
                      directory.File("sub")).c_str()),
              0);
  }
  EXPECT_FALSE(harness::FileExists(path));
}

}  // namespace
