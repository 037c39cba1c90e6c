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

TEST(TerminalHarness, CellsKeepTextWidthColoursAndCursor) {
  // Erased in cyan; the size the program is told; a jump to column 6; a wide
  // character (U+4E2D) with trailing blanks; then one cell per kind of colour.
  RunOptions options = Shell(
      R"(printf '\033[46m\033[2J\033[0m'; stty size; printf 'ab\033[2;6Hc\r\n\r\n\344\270\255x   \r\n')"
      R"(; printf '\033[31mA\033[91mB\033[0;44mC\033[97;100mD\033[0;1;31mE\033[0;7mF')"
      R"(; printf '\033[0;38;5;196mG\033[0;38;2;1;2;3mH\033[0m')");
  options.columns = 40;
  options.rows = 10;
  RunResult result = RunOnTerminal(options);
  ASSERT_EQ(result.exitCode, 0) << result.harnessError;
  ASSERT_TRUE(result.rows == 10 && result.columns == 40 && result.screen.size() == 10u &&
              result.screen[0].size() == 40u);
  const char* rows[] = {"10 40", "ab   c", "", "\xe4\xb8\xadx", "ABCDEFGH", ""};
  for (int row = 0; row < 6; ++row) EXPECT_EQ(result.RowText(row), rows[row]) << row;
  EXPECT_EQ(result.At(1, 0).background, -1);
  EXPECT_TRUE(result.At(1, 3).text == "" && result.At(1, 3).background == 6);
  EXPECT_EQ(result.At(9, 39).background, 6);
  EXPECT_TRUE(result.At(3, 0).width == 2 && result.At(3, 1).width == 0 && result.At(3, 1).text == "");
  EXPECT_EQ(result.At(3, 2).text, "x");
  EXPECT_TRUE(result.cursorRow == 4 && result.cursorColumn == 8);
  const struct {
    int foreground, background;
    bool bold, reverse;
  } cells[] = {{1, -1, false, false},  {9, -1, false, false},   {-1, 4, false, false},
               {15, 8, false, false},  {1, -1, true, false},  // bold stays colour 1, not 9
               {-1, -1, false, true},  {196, -1, false, false}, {-2, -1, false, false}};
  for (int column = 0; column < 8; ++column) {
    const harness::Cell& cell = result.At(4, column);
    EXPECT_TRUE(cell.foreground == cells[column].foreground && cell.background == cells[column].background &&
                cell.bold == cells[column].bold && cell.reverse == cells[column].reverse)
        << cell.text << ": " << cell.foreground << " on " << cell.background;
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
        R"(if [ -t 1 ]; then printf 'tty '; elif [ -p /dev/stdout ]; then printf 'pipe\000\377\n'; )"
        R"(else printf 'file\000\377\n'; fi; [ -t 0 ] && [ -t 2 ] && printf '\033[31merr' >&2)");
    options.stdoutMode = c.mode;
    RunResult result = RunOnTerminal(options);
    ASSERT_EQ(result.exitCode, 0) << result.harnessError;
    EXPECT_EQ(result.RowText(0), c.screen);
    EXPECT_EQ(result.terminalBytes, c.terminalBytes);
    EXPECT_EQ(result.stdoutBytes, c.stdoutBytes);
  }
  // Far more than a pipe holds: the harness must drain it while the program runs.
  RunOptions options = Shell(R"(head -c 1048576 /dev/zero | tr '\000' a; echo done >&2)");
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

TEST(TerminalHarness, ACharacterCutBetweenTwoReadsStaysWhole) {
  RunResult result = RunOnTerminal(Shell(R"(printf 'a\342'; sleep 0.3; printf '\224\202b')"));
  EXPECT_EQ(result.RowText(0), "a\u2502b");
}

TEST(TerminalHarness, QueriesAreAnsweredAsATerminalWould) {
  RunOptions options = Shell(
      R"(stty raw -echo; printf '\033[3;7H\033[6n'; answer=$(dd bs=1 count=6 2>/dev/null); stty sane; )"
      R"x(test "$answer" = "$(printf '\033[3;7R')")x");
  options.timeoutMilliseconds = 5000;
  RunResult result = RunOnTerminal(options);
  EXPECT_FALSE(result.timedOut);
  EXPECT_EQ(result.exitCode, 0);
}

TEST(TerminalHarness, ExitCodes) {
  for (const auto& [script, exitCode] : {std::pair{"exit 3", 3}, std::pair{"kill -TERM $$", 128 + 15}}) {
    RunResult result = RunOnTerminal(Shell(script));
    EXPECT_TRUE(result.exitCode == exitCode && !result.timedOut && result.harnessError.empty()) << script;
  }
  RunOptions missing;
  missing.program = "/nonexistent/zev";
  RunResult result = RunOnTerminal(missing);
  EXPECT_EQ(result.exitCode, 127);
  EXPECT_EQ(result.RowText(0), "cannot start /nonexistent/zev: execve: No such file or directory");
}

}  // namespace
