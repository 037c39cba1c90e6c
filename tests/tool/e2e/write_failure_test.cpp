// A report that cannot be written: a full device, a closed pipe, a file
// that may grow no further. Each is error 101, and what was handed over
// before the failure stays.
#include <string>
#include <vector>

#include "e2e_support.h"
#include "report_model.h"

namespace e2e {
namespace {

class WriteFailure : public ZevTest {
 protected:
  void SetUp() override {
    // Every position differs: 8000 lines, some 320 KB of report.
    std::string x(8000, '\0'), y(8000, '\0');
    for (size_t i = 0; i < x.size(); ++i) {
      x[i] = static_cast<char>(i & 0x7F);
      y[i] = static_cast<char>(0x80 | (i & 0x7F));
    }
    MakeInput("x", x);
    MakeInput("y", y);
    expected = ExpectedReport({"x", "y"}, {x, y}, 0, {});
  }

  // zev started by one of the launchers, which comes first on the line.
  harness::RunResult RunLaunched(const std::string& launcher, std::vector<std::string> launcherArgs,
                                 const std::vector<std::string>& zevArgs,
                                 harness::StdoutMode mode = harness::StdoutMode::Terminal) {
    launcherArgs.push_back(ZEV_BINARY);
    launcherArgs.insert(launcherArgs.end(), zevArgs.begin(), zevArgs.end());
    harness::RunOptions options = Options(launcherArgs);
    options.program = launcher;
    options.stdoutMode = mode;
    return Run(options);
  }

  std::string expected;
};

TEST_F(WriteFailure, AFullDevice) {
  harness::RunResult result = Run({"x", "y", "-f:/dev/full"}, harness::StdoutMode::File);
  EXPECT_EQ(result.exitCode, 101);
  ExpectStopMessage(result.stdoutBytes, 101);
  ExpectScreenBannerOnly(result);
}

TEST_F(WriteFailure, StandardOutputAClosedPipe) {
  harness::RunResult result = RunLaunched(PIPE_READER_BINARY, {"0", Path("kept")}, {"x", "y", "-f:"});
  EXPECT_EQ(result.exitCode, 101) << "128 + 13 would be death by SIGPIPE";
  ExpectScreenBannerOnly(result);
  EXPECT_EQ(harness::ReadFile(Path("kept")), "");
}

TEST_F(WriteFailure, AClosedStandardOutputDoesNotMatterToTheConsoleReport) {
  harness::RunOptions options = Options({"0", Path("kept"), ZEV_BINARY, "x", "y"});
  options.program = PIPE_READER_BINARY;
  options.rows = 20;
  harness::RunResult result = Run(options);
  EXPECT_EQ(result.exitCode, 0);
  const std::vector<std::string> lines = SplitReportLines(expected);
  EXPECT_EQ(result.RowText(18), TerminalText(lines.back()));
}

TEST_F(WriteFailure, APipeClosedHalfWayKeepsWhatItRead) {
  harness::RunResult result = RunLaunched(PIPE_READER_BINARY, {"10000", Path("kept")}, {"x", "y", "-f:"});
  EXPECT_EQ(result.exitCode, 101);
  ExpectScreenBannerOnly(result);
  EXPECT_EQ(harness::ReadFile(Path("kept")), expected.substr(0, 10000));
}

TEST_F(WriteFailure, AFileThatMayGrowNoFurther) {
  harness::RunResult result =
      RunLaunched(SIZE_LIMIT_BINARY, {"100000"}, {"x", "y", "-f:r.txt"}, harness::StdoutMode::File);
  EXPECT_EQ(result.exitCode, 101);
  ExpectStopMessage(result.stdoutBytes, 101);
  ExpectScreenBannerOnly(result);
  const std::string kept = harness::ReadFile(Path("r.txt"));
  EXPECT_EQ(kept.size(), 100000u);
  EXPECT_TRUE(kept == expected.substr(0, kept.size())) << "the report's start was not kept intact";
}

}  // namespace
}  // namespace e2e
