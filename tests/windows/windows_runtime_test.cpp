// The Windows run-time layer from outside, under wine: processor faults
// and checked stops of the probe, the call levels, and the command line
// cut from the real GetCommandLineA.
#include "e2e_support.h"
#include "windows_programs.h"
#include "stop_reading.h"

namespace e2e {
namespace {

using stop_reading::ExpectFaultRows;
using stop_reading::ExpectStop;
using stop_reading::ProbeRun;

class WindowsRunTime : public ZevTest {
 protected:
  // The probe with standard output and standard error on files and no
  // console at all: the run-time layer needs none.
  ProbeRun RunProbe(const std::vector<std::string>& args) {
    harness::RunOptions options = Options(args, StdoutMode::File);
    options.args[0] = WindowsProgram("tests/runtime/runtime_probe.exe");
    options.controllingTerminal = false;
    const RunResult result = Run(options);
    return {result.exitCode, result.stdoutBytes, result.stderrBytes};
  }

  // The parameters probe started with exactly this command line.
  std::vector<std::string> Parameters(const std::string& line) {
    harness::WriteFile(Path("line.txt"), line);
    harness::RunOptions options = Options({WindowsProgram("tests/windows/parameters_probe.exe"), "line.txt"}, StdoutMode::File);
    options.args[0] = WindowsProgram("tests/windows/launcher.exe");
    options.controllingTerminal = false;
    RunResult result = Run(options);
    EXPECT_EQ(result.exitCode, 0) << result.stderrBytes;
    std::vector<std::string> lines = SplitReportLines(result.stdoutBytes);
    EXPECT_GE(lines.size(), 2u);
    const std::string own = "\\parameters_probe.exe";
    EXPECT_TRUE(lines.back().rfind("entry 0: ", 0) == 0 &&
                lines.back().size() > own.size() + 9 &&
                lines.back().compare(lines.back().size() - own.size(), own.size(), own) == 0)
        << "entry 0 is the program's own path, whatever the command line says: " << lines.back();
    return lines;
  }
};

TEST_F(WindowsRunTime, FaultsBecomeStopsWithTheirNumbersAndPlaces) {
  ExpectFaultRows({{"nested", 101, true, 0},
                   {"null", 216, true, 0},
                   {"divide", 200, true, 0},
                   {"illegal", 217, false, 0},
                   {"stack-overflow", 202, false, 257}},
                  [&](const char* mode) { return RunProbe({mode}); });
}

TEST_F(WindowsRunTime, CheckedStopsKeepSixteenBitNumbersAndCapTheLevels) {
  ExpectStop(RunProbe({"check", "300"}), 300);
  const size_t few = ExpectStop(RunProbe({"deep", "3"}), 101).levels.size();
  EXPECT_GE(few, 4u);
  EXPECT_EQ(ExpectStop(RunProbe({"deep", "30"}), 101).levels.size(), few + 27);
  EXPECT_EQ(ExpectStop(RunProbe({"deep", "400"}), 101).levels.size(), 257u);
  // On the console: the message at the console's cursor, nine levels.
  harness::RunOptions options = Options({"deep", "30"});
  options.args[0] = WindowsProgram("tests/runtime/runtime_probe.exe");
  RunResult run = Run(options);
  EXPECT_EQ(run.exitCode, 101);
  int row = 0;
  while (row < run.rows && run.RowText(row).rfind("Runtime error 101 at 0x", 0) != 0) ++row;
  ASSERT_LT(row, run.rows) << run.terminalBytes;
  int places = 0;
  while (row + 1 + places < run.rows && run.RowText(row + 1 + places).rfind("  0x", 0) == 0) ++places;
  EXPECT_EQ(places, 1 + 9);
}

// Each command line as the platform hands it over, cut into parameters;
// control bytes separate, high bytes belong to the parameter.
TEST_F(WindowsRunTime, TheCommandLineTableThroughGetCommandLineA) {
  const struct {
    std::string line;
    std::vector<std::string> parameters;  // the count first
  } cases[] = {
      {"ZEV a b", {"2", "[a]", "[b]"}},
      {"ZEV  \ta\tb ", {"2", "[a]", "[b]"}},
      {"\"C:\\My Tools\\ZEV.exe\" a.bin \"b c.bin\"", {"2", "[a.bin]", "[b c.bin]"}},
      {"ZEV 'a b' c", {"2", "[a b]", "[c]"}},
      {"ZEV a\"\"b", {"1", "[ab]"}},
      {"ZEV \"a\"\"b\"", {"1", "[ab]"}},
      {"ZEV \"\" x", {"2", "[]", "[x]"}},
      {"ZEV \"\"\"\"", {"1", "[]"}},
      {"ZEV a\"b c\"d", {"1", "[ab cd]"}},
      {"ZEV \"it's\"", {"1", "[it's]"}},
      {"ZEV it's a.bin b.bin", {"1", "[its a.bin b.bin]"}},
      {"ZEV -o:$10 -f:\"out file.txt\"", {"2", "[-o:$10]", "[-f:out file.txt]"}},
      {"ZEV", {"0"}},
      // (An empty line cannot be handed over: wine starts the program with
      // its own name as the line instead. The unit tests cut that row.)
      {"  ignored\xE9 caf\xE9 \x01x", {"2", "[caf\xE9]", "[x]"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("command line <" + c.line + ">");
    std::vector<std::string> lines = Parameters(c.line);
    lines.pop_back();
    EXPECT_EQ(lines, c.parameters);
  }
}

}  // namespace
}  // namespace e2e
