// The harness faults that would let a test of the tool pass unseen: a
// standard output of the wrong kind, not exact or not whole, a terminal
// where there should be none, wrong exit codes, a run never ended.
#include "harness/terminal_harness.h"

#include <gtest/gtest.h>

namespace {

harness::RunOptions Shell(const std::string& script, harness::StdoutMode mode = harness::StdoutMode::Terminal) {
  harness::RunOptions options;
  options.program = "/bin/sh";
  options.args = {"-c", script};
  options.stdoutMode = mode;
  options.timeoutMilliseconds = 1000;
  return options;
}

TEST(TerminalHarness, EachStandardOutputIsOfItsKindExactAndWhole) {
  // A megabyte through the pipe must be drained while the program runs.
  const char* script = R"(if [ -t 1 ]; then printf tty; elif [ -p /dev/stdout ]; then printf 'pipe\000\377'; )"
                       R"(head -c 1048576 /dev/zero; else printf 'file\000\377'; fi; printf '\033[31m\344\270\255' >&2)";
  const struct {
    harness::StdoutMode mode;
    std::string screen, stdoutBytes;
  } cases[] = {{harness::StdoutMode::Terminal, "tty\u4E2D", ""},
               {harness::StdoutMode::File, "\u4E2D", std::string("file\0\377", 6)},
               {harness::StdoutMode::Pipe, "\u4E2D", std::string("pipe\0\377", 6) + std::string(1 << 20, '\0')}};
  for (const auto& c : cases) {
    const harness::RunResult result = harness::RunOnTerminal(Shell(script, c.mode));
    EXPECT_TRUE(result.exitCode == 0 && result.RowText(0) == c.screen && result.stdoutBytes == c.stdoutBytes)
        << result.RowText(0) << " " << result.stdoutBytes.size();
    EXPECT_EQ(result.At(0, c.screen.size() - 3).foreground, 1);  // red, as the terminal numbers it
  }
  harness::RunOptions options = Shell("(exec 3<>/dev/tty) 2>/dev/null && echo tty; [ -t 0 ] || [ -t 2 ] || echo none; echo e >&2");
  options.controllingTerminal = false;
  const harness::RunResult result = harness::RunOnTerminal(options);
  EXPECT_TRUE(result.stdoutBytes == "none\n" && result.stderrBytes == "e\n" && result.terminalBytes.empty());
}

TEST(TerminalHarness, ExitCodesSignalsAndTimeouts) {
  for (const auto& [script, exitCode] : {std::pair{"exit 3", 3}, {"kill -TERM $$", 128 + 15}, {"sleep 100", 128 + 9}}) {
    const harness::RunResult result = harness::RunOnTerminal(Shell(script));
    EXPECT_TRUE(result.exitCode == exitCode && result.timedOut == (exitCode == 128 + 9)) << script;
  }
}

}  // namespace
