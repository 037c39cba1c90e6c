// A standard output of the wrong kind, not exact or not whole, or a terminal where there should be none, would let a
// test of the tool run other paths than it names, unseen.
#include "harness/terminal_harness.h"
#include <gtest/gtest.h>

namespace {

TEST(TerminalHarness, EachStandardOutputIsOfItsKindExactAndWhole) {
  const char* script = R"(if [ -t 1 ]; then printf tty; elif [ -p /dev/stdout ]; then printf 'pipe\000\377'; )"
                       R"(head -c 1048576 /dev/zero; else printf 'file\000\377'; fi; printf e >&2; exit 3)";
  using harness::StdoutMode;
  const std::tuple<StdoutMode, bool, std::string, std::string> cases[] = {
      {StdoutMode::Terminal, true, "tty", ""}, {StdoutMode::File, true, "e", std::string("file\0\377", 6)},
      {StdoutMode::Pipe, true, "e", std::string("pipe\0\377", 6) + std::string(1 << 20, '\0')},  // drained as it comes
      {StdoutMode::File, false, "", std::string("file\0\377", 6)}};
  for (const auto& [mode, terminal, screen, stdoutBytes] : cases) {
    harness::RunOptions options;
    options.program = "/bin/sh", options.args = {"-c", script}, options.stdoutMode = mode, options.controllingTerminal = terminal;
    const harness::RunResult result = harness::RunOnTerminal(options);
    EXPECT_TRUE(result.exitCode == 3 && result.RowText(0).rfind(screen, 0) == 0 && result.stdoutBytes == stdoutBytes) << result.RowText(0);
    EXPECT_EQ(result.stderrBytes, terminal ? "" : "e");
  }
}

}  // namespace
