#include "harness/terminal_harness.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

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

TEST(TerminalHarness, CellsKeepTextWidthErasedBackgroundAndCursor) {
  // Erased in cyan; the size the program is told; "ab", a jump to column 6,
  // and a wide character (U+4E2D) on row 4 with trailing blanks.
  RunOptions options = Shell(
      "printf '\\033[46m\\033[2J\\033[0m'; stty size; "
      "printf 'ab\\033[2;6Hc\\r\\n\\r\\n\\344\\270\\255x   '");
  options.columns = 40;
  options.rows = 10;
  RunResult result = RunOnTerminal(options);
  ASSERT_EQ(result.exitCode, 0) << result.harnessError;
  ASSERT_EQ(result.rows, 10);
  ASSERT_EQ(result.columns, 40);
  ASSERT_EQ(result.screen.size(), 10u);
  ASSERT_EQ(result.screen[0].size(), 40u);
  EXPECT_EQ(result.RowText(0), "10 40");
  EXPECT_EQ(result.RowText(1), "ab   c");
  EXPECT_EQ(result.RowText(2), "");
  EXPECT_EQ(result.RowText(3), "\xe4\xb8\xadx");
  EXPECT_EQ(result.At(1, 0).background, -1);
  EXPECT_EQ(result.At(1, 3).text, "");
  EXPECT_EQ(result.At(1, 3).background, 6);
  EXPECT_EQ(result.At(9, 39).background, 6);
  EXPECT_EQ(result.At(3, 0).width, 2);
  EXPECT_EQ(result.At(3, 1).width, 0);
  EXPECT_EQ(result.At(3, 1).text, "");
  EXPECT_EQ(result.At(3, 2).text, "x");
  EXPECT_EQ(result.cursorRow, 3);
  EXPECT_EQ(result.cursorColumn, 6);
}

TEST(TerminalHarness, ColoursAreThePaletteIndicesTheProgramSent) {
  const struct {
    const char* sequence;  // printed before the X in the top-left cell
    int foreground, background;
    bool bold, reverse;
  } cases[] = {
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
  for (const auto& c : cases) {
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

TEST(TerminalHarness, RedirectedStdoutIsBinaryExactAndBypassesTheScreen) {
  const struct {
    StdoutMode mode;
    const char* screen;
    const char* terminalBytes;
    std::string stdoutBytes;
  } cases[] = {
      {StdoutMode::Terminal, "tty err", "tty \033[31merr", ""},
      {StdoutMode::File, "err", "\033[31merr", std::string("file\0\377\n", 7)},
      {StdoutMode::Pipe, "err", "\033[31merr", std::string("pipe\0\377\n", 7)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.screen);
    RunOptions options = Shell(
        "if [ -t 1 ]; then printf 'tty '; elif [ -p /dev/stdout ]; then printf 'pipe\\000\\377\\n'; "
        "else printf 'file\\000\\377\\n'; fi; [ -t 0 ] && [ -t 2 ] && printf '\\033[31merr' >&2");
    options.stdoutMode = c.mode;
    RunResult result = RunOnTerminal(options);
    ASSERT_EQ(result.exitCode, 0) << result.harnessError;
    EXPECT_EQ(result.RowText(0), c.screen);
    EXPECT_EQ(result.terminalBytes, c.terminalBytes);
    EXPECT_EQ(result.stdoutBytes, c.stdoutBytes);
  }

  // Far more than a pipe holds: the harness must drain it while the program runs.
  RunOptions options = Shell("head -c 1048576 /dev/zero | tr '\\000' a; echo done >&2");
  options.stdoutMode = StdoutMode::Pipe;
  RunResult result = RunOnTerminal(options);
  ASSERT_EQ(result.exitCode, 0) << result.harnessError;
  EXPECT_EQ(result.stdoutBytes, std::string(1 << 20, 'a'));
  EXPECT_EQ(result.RowText(0), "done");
}

TEST(TerminalHarness, WithoutControllingTerminalTtyCannotBeOpened) {
  for (StdoutMode mode : {StdoutMode::File, StdoutMode::Pipe}) {
    RunOptions options = Shell(
        "if (exec 3<>/dev/tty) 2>/dev/null; then echo tty; else echo no-tty; fi; "
        "[ -t 0 ] || [ -t 1 ] || [ -t 2 ] || echo no-std-tty; echo message >&2; exit 1");
    options.controllingTerminal = false;
    options.stdoutMode = mode;
    RunResult result = RunOnTerminal(options);
    EXPECT_EQ(result.exitCode, 1) << result.harnessError;
    EXPECT_EQ(result.stdoutBytes, "no-tty\nno-std-tty\n");
    EXPECT_EQ(result.stderrBytes, "message\n");
    EXPECT_EQ(result.terminalBytes, "");
  }
}

TEST(TerminalHarness, TimeoutKillsTheProgramWithinTheDeadline) {
  RunOptions options = Shell("echo started; sleep 100");
  options.timeoutMilliseconds = 1000;
  auto start = std::chrono::steady_clock::now();
  RunResult result = RunOnTerminal(options);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
  EXPECT_TRUE(result.timedOut);
  EXPECT_EQ(result.exitCode, 128 + 9);
  EXPECT_EQ(result.RowText(0), "started");  // output before the kill is kept
}

TEST(TerminalHarness, QueriesAreAnsweredAsATerminalWould) {
  RunOptions options = Shell(
      "stty raw -echo; printf '\\033[3;7H\\033[6n'; "
      "answer=$(dd bs=1 count=6 2>/dev/null); stty sane; "
      "test \"$answer\" = \"$(printf '\\033[3;7R')\"");
  options.timeoutMilliseconds = 5000;
  RunResult result = RunOnTerminal(options);
  EXPECT_FALSE(result.timedOut);
  EXPECT_EQ(result.exitCode, 0);
}

TEST(TerminalHarness, ExitCodes) {
  const struct {
    const char* script;
    int exitCode;
  } cases[] = {{"exit 0", 0}, {"exit 3", 3}, {"exit 255", 255}, {"kill -TERM $$", 128 + 15}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.script);
    RunResult result = RunOnTerminal(Shell(c.script));
    EXPECT_EQ(result.exitCode, c.exitCode) << result.harnessError;
    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(result.harnessError, "");
  }
  RunOptions missing;
  missing.program = "/nonexistent/zev";
  RunResult result = RunOnTerminal(missing);
  EXPECT_EQ(result.exitCode, 127);
  EXPECT_EQ(result.RowText(0), "cannot start /nonexistent/zev: execve: No such file or directory");
}

}  // namespace
