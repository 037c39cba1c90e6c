// What only the Windows programs can be asked, under wine: files held by
// another program, and the command line as GetCommandLineA hands it over.
#include "command_lines.h"
#include "e2e_support.h"

namespace e2e {
namespace {

class Windows : public ZevTest {
 protected:
  // launcher.exe starts program with exactly the command line `line`,
  // holding `held` (if given) open without sharing meanwhile.
  RunResult Launch(const std::string& program, const std::string& line, const std::string& held, StdoutMode mode,
                   bool terminal = true) {
    harness::WriteFile(Path("line.txt"), line);
    std::vector<std::string> args = {TestCommand(program).back(), "line.txt"};
    if (!held.empty()) args.push_back(held);
    harness::RunOptions options = Options(args, mode, TestCommand("launcher"));
    options.controllingTerminal = terminal;
    return Run(options);
  }
};

TEST_F(Windows, AFileHeldByAnotherProgramIsRefused) {
  MakeInput("a", "abc");
  MakeInput("b", "abd");
  ExpectFatal(Launch("zev", "zev a b", "a", StdoutMode::Terminal), "Can't open file: a");
  harness::WriteFile(Path("held.txt"), "held");
  ExpectStop(Launch("zev", "zev a b -f:held.txt", "held.txt", StdoutMode::File), 5);
  EXPECT_EQ(harness::ReadFile(Path("held.txt")), "held");
}

// Each row but the empty line, which wine cannot hand over (it starts the
// program with its own name instead).
TEST_F(Windows, TheCommandLineTableThroughGetCommandLineA) {
  for (const CommandLineRow& row : CommandLineRows()) {
    if (row.count < 0) continue;
    SCOPED_TRACE("command line <" + row.line.substr(0, 60) + ">");
    const RunResult result = Launch("runtime_probe", row.line, "", StdoutMode::File, false);
    EXPECT_EQ(result.exitCode, 0) << result.stderrBytes;
    std::vector<std::string> lines = SplitReportLines(result.stdoutBytes), expected = {std::to_string(row.count)};
    for (const std::string& parameter : row.parameters) expected.push_back("[" + parameter + "]");
    ASSERT_FALSE(lines.empty());
    // Entry 0 is the program's own path, whatever the command line says.
    EXPECT_TRUE(lines.back().size() > 27 && lines.back().rfind("entry 0: ", 0) == 0 &&
                lines.back().ends_with("\\runtime_probe.exe"))
        << lines.back();
    lines.pop_back();
    EXPECT_EQ(lines, expected);
  }
}

}  // namespace
}  // namespace e2e
