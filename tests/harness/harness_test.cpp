// The harness faults that would let a test of the tool pass unseen: a
// standard output of the wrong kind, not exact or not whole, a terminal
// where there should be none, wrong exit codes, a run never ended.
#include "harness/terminal_harness.h"

#include <gtest/gtest.h>

namespace {

using harness::StdoutMode;

harness::RunOptions Shell(const char* script) {
  harness::RunOptions options;
  options.program = "/bin/sh";
  options.args = {"-c", script};
  return options;
}

TEST(TerminalHarness, StandardStreamsExitCodesAndTimeouts) {
  // A megabyte through the pipe must be drained while the program runs.
  const char* script = R"(if [ -t 1 ]; then printf tty; elif [ -p /dev/stdout ]; then printf 'pipe\000\377'; )"
                       R"(head -c 1048576 /dev/zero; else printf 'file\000\377'; fi; printf '\033[31m\344\270\255' >&2; exit 3)";
  const std::tuple<StdoutMode, bool, std::string, std::string> cases[] = {
      {StdoutMode::Terminal, true, "tty\u4E2D", ""},
      {StdoutMode::File, true, "\u4E2D", std::string("file\0\377", 6)},
      {StdoutMode::Pipe, true, "\u4E2D", std::string("pipe\0\377", 6) + std::string(1 << 20, '\0')},
      {StdoutMode::File, false, "", std::string("file\0\377", 6)}};  // no terminal at all
  for (const auto& [mode, terminal, screen, stdoutBytes] : cases) {
    harness::RunOptions options = Shell(script);
    options.stdoutMode = mode;
    options.controllingTerminal = terminal;
    const harness::RunResult result = harness::RunOnTerminal(options);
    EXPECT_TRUE(result.exitCode == 3 && result.RowText(0) == screen && result.stdoutBytes == stdoutBytes) << result.RowText(0);
    EXPECT_TRUE(terminal ? result.At(0, screen.size() - 3).foreground == 1 : result.stderrBytes == "\033[31m\344\270\255");
  }
  for (const auto& [script, exitCode] : {std::pair<const char*, int>{"kill -TERM $$", 128 + 15}, {"sleep 100", 128 + 9}}) {
    harness::RunOptions options = Shell(script);
    options.timeoutMilliseconds = 1000;
    const harness::RunResult result = harness::RunOnTerminal(options);
    EXPECT_TRUE(result.exitCode == exitCode && result.timedOut == (exitCode == 128 + 9)) << script;
  }
}

}  // namespace
