// Where the report goes, and the run-time stops when it cannot go there.
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "e2e_support.h"
#include "report_model.h"

namespace e2e {
namespace {

class ReportDestination : public ZevTest {
 protected:
  void SetUp() override {
    MakeInput("a", "same-A");
    MakeInput("b", "same-B");
  }
  const std::string report = HeaderLine({"a", "b"}) + DifferenceLine(5, {'A', 'B'});
};

TEST_F(ReportDestination, AnInputIsNeverTheReport) {
  ASSERT_EQ(link(Path("b").c_str(), Path("hard").c_str()), 0);
  ASSERT_EQ(symlink("a", Path("soft").c_str()), 0);
  for (const std::string& name : {std::string("a"), std::string("b"), std::string("./a"), std::string("sub/../b"),
                                  std::string("hard"), std::string("soft"), Path("a")}) {
    SCOPED_TRACE(name);
    mkdir(Path("sub").c_str(), 0755);
    harness::RunResult result = Run({"a", "b", "-f:" + name}, harness::StdoutMode::File);
    EXPECT_EQ(result.exitCode, 5);
    ExpectStopMessage(result.stdoutBytes, 5);
    ExpectScreenBannerOnly(result);
  }
}

TEST_F(ReportDestination, RefusedCreations) {
  ASSERT_EQ(mkdir(Path("dir").c_str(), 0755), 0);
  const std::vector<std::pair<std::string, int>> cases = {
      {"no-such-dir/r.txt", 3},
      {"dir", 5},
  };
  for (const auto& [name, number] : cases) {
    SCOPED_TRACE(name);
    harness::RunResult result = Run({"a", "b", "-f:" + name}, harness::StdoutMode::File);
    EXPECT_EQ(result.exitCode, number);
    ExpectStopMessage(result.stdoutBytes, number);
    ExpectScreenBannerOnly(result);
  }
  struct stat info{};
  EXPECT_NE(stat(Path("no-such-dir").c_str(), &info), 0);
}

TEST_F(ReportDestination, NegativeStartOffsetStopsAfterTheReportIsCreated) {
  for (const char* offset : {"-o:-1", "-o:$FFFFFFFF", "-o:-2147483648", "-o:$80000000"}) {
    for (bool existed : {false, true}) {
      SCOPED_TRACE(std::string(offset) + (existed ? " over an old report" : " new report"));
      if (existed) harness::WriteFile(Path("r.txt"), "old contents");
      else unlink(Path("r.txt").c_str());
      harness::RunResult result = Run({"a", offset, "b", "-f:r.txt"}, harness::StdoutMode::File);
      EXPECT_EQ(result.exitCode, 131);
      ExpectStopMessage(result.stdoutBytes, 131);
      ExpectScreenBannerOnly(result);
      struct stat info{};
      ASSERT_EQ(stat(Path("r.txt").c_str(), &info), 0) << "report not created";
      EXPECT_EQ(info.st_size, 0);
    }
  }
}

TEST_F(ReportDestination, StopMessageOnTheTerminalStartsAtItsCursor) {
  harness::RunResult result = Run({"a", "b", "-o:-1"});
  EXPECT_EQ(result.exitCode, 131);
  ExpectBanner(result);
  const std::string first = result.RowText(5);
  ASSERT_FALSE(first.empty());
  EXPECT_EQ(first[0], ' ');
  EXPECT_TRUE(IsStopLine(first.substr(1), 131)) << first;
  EXPECT_TRUE(IsPlaceLine(result.RowText(6))) << result.RowText(6);
}

TEST_F(ReportDestination, StopMessageFollowsAnEmptyStandardOutputReport) {
  // The report stream on standard output holds nothing yet; only the stop
  // message arrives there.
  harness::RunResult result = Run({"a", "b", "-f:", "-o:-1"}, harness::StdoutMode::Pipe);
  EXPECT_EQ(result.exitCode, 131);
  ExpectStopMessage(result.stdoutBytes, 131);
}

TEST_F(ReportDestination, ConsoleNamesAndOddSpellings) {
  for (const char* name : {"-f:con", "-f:CON", "-f:Con"}) {
    SCOPED_TRACE(name);
    unlink(Path("con").c_str());
    harness::RunResult result = Run({"a", "b", name}, harness::StdoutMode::File);
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.RowText(5), " Files:     │           a │           b");
    EXPECT_EQ(result.RowText(6), "00000005   │ 65  $41 'A' │ 66  $42 'B'");
    EXPECT_EQ(result.stdoutBytes, "");
    struct stat info{};
    EXPECT_NE(stat(Path(name + 3).c_str(), &info), 0) << "a file was made for the console name";
  }
  // The third character is skipped unchecked.
  harness::RunResult result = Run({"a", "b", "-fout.txt"});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(harness::ReadFile(Path("ut.txt")), report);
  // The last of several names wins, and only it is created.
  result = Run({"-f:first.txt", "a", "b", "-f:second.txt"});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(harness::ReadFile(Path("second.txt")), report);
  struct stat info{};
  EXPECT_NE(stat(Path("first.txt").c_str(), &info), 0);
  // The null device swallows the report.
  result = Run({"a", "b", "-f:/dev/null"}, harness::StdoutMode::File);
  EXPECT_EQ(result.exitCode, 0);
  ExpectScreenBannerOnly(result);
  EXPECT_EQ(result.stdoutBytes, "");
}

TEST_F(ReportDestination, ALongReportToAFileIsComplete) {
  // Far more than any buffer: every line must arrive, in order.
  std::string x(300000, '\0'), y(300000, '\0');
  for (size_t i = 0; i < x.size(); ++i) {
    x[i] = static_cast<char>(i % 251);
    y[i] = static_cast<char>(i % 241);
  }
  MakeInput("x", x);
  MakeInput("y", y);
  harness::RunResult result = Run({"x", "y", "-f:r.txt", "-d"});
  EXPECT_EQ(result.exitCode, 0);
  ExpectSameReport(harness::ReadFile(Path("r.txt")),
                   ExpectedReport({"x", "y"}, {x, y}, 0, {.descending = true}));
  result = Run({"x", "y", "-f:", "-d"}, harness::StdoutMode::Pipe);
  EXPECT_EQ(result.exitCode, 0);
  ExpectSameReport(result.stdoutBytes, ExpectedReport({"x", "y"}, {x, y}, 0, {.descending = true}));
}

}  // namespace
}  // namespace e2e
