// Where the report goes, and the run-time stops when it cannot go there:
// refused names, a negative offset, a full device, a closed pipe.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "e2e_support.h"

namespace e2e {
namespace {

class ReportDestination : public ZevTest {
 protected:
  void SetUp() override {
    MakeInput("a", "same-A");
    MakeInput("b", "same-B");
  }
};

// A name that reaches an input is refused before the input is touched.
TEST_F(ReportDestination, RefusedNames) {
  ASSERT_EQ(link(Path("b").c_str(), Path("hard").c_str()), 0);
  ASSERT_EQ(symlink("a", Path("soft").c_str()), 0);
  ASSERT_EQ(mkdir(Path("sub").c_str(), 0755), 0);
  const std::pair<std::string, int> cases[] = {
      {"a", 5}, {"sub/../b", 5}, {"hard", 5}, {"soft", 5}, {"sub", 5}, {"no-such-dir/r.txt", 3},
  };
  for (const auto& [name, number] : cases) {
    SCOPED_TRACE(name);
    RunResult result = Run({"a", "b", "-f:" + name}, StdoutMode::File);
    EXPECT_EQ(result.exitCode, number);
    ExpectStopMessage(result.stdoutBytes, number);
    ExpectScreenBannerOnly(result);
  }
  EXPECT_FALSE(FileExists(Path("no-such-dir")));
}

TEST_F(ReportDestination, NegativeStartOffsetStopsAfterTheReportIsCreated) {
  harness::WriteFile(Path("old.txt"), "old contents");
  const std::pair<const char*, std::string> cases[] = {{"-o:-1", "new.txt"}, {"-o:$FFFFFFFF", "old.txt"}};
  for (const auto& [offset, name] : cases) {
    SCOPED_TRACE(offset);
    RunResult result = Run({"a", offset, "b", "-f:" + name}, StdoutMode::File);
    EXPECT_EQ(result.exitCode, 131);
    ExpectStopMessage(result.stdoutBytes, 131);
    ExpectScreenBannerOnly(result);
    EXPECT_TRUE(FileExists(Path(name)));
    EXPECT_EQ(harness::ReadFile(Path(name)), "");
  }
  // A report on standard output holds nothing yet: the stop message alone.
  RunResult result = Run({"a", "b", "-f:", "-o:-1"}, StdoutMode::Pipe);
  EXPECT_EQ(result.exitCode, 131);
  ExpectStopMessage(result.stdoutBytes, 131);
  // On the terminal the message starts at the cursor the banner left.
  result = Run({"a", "b", "-o:-1"});
  EXPECT_EQ(result.exitCode, 131);
  ExpectBanner(result);
  std::string shown;
  for (int row = 5; row < result.rows && shown.find("\r\n\r\n") == std::string::npos; ++row)
    shown += result.RowText(row) + "\r\n";
  EXPECT_EQ(shown[0], ' ');
  ExpectStopMessage(shown.substr(1), 131);
}

TEST_F(ReportDestination, ConsoleNameAndTheNullDevice) {
  RunResult result = Run({"a", "b", "-f:Con"}, StdoutMode::File);
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.RowText(5), " Files:     │           a │           b");
  EXPECT_EQ(result.RowText(6), "00000005   │ 65  $41 'A' │ 66  $42 'B'");
  EXPECT_EQ(result.stdoutBytes, "");
  EXPECT_FALSE(FileExists(Path("Con"))) << "a file was made for the console name";
  result = Run({"a", "b", "-f:/dev/null"}, StdoutMode::File);
  EXPECT_EQ(result.exitCode, 0);
  ExpectScreenBannerOnly(result);
  EXPECT_EQ(result.stdoutBytes, "");
}

// A report of some 320 KB: more than a buffer or a pipe holds.
class LongReport : public ZevTest {
 protected:
  void SetUp() override {
    std::string x(8000, '\0'), y(8000, '\0');
    for (size_t i = 0; i < x.size(); ++i) {
      x[i] = static_cast<char>(i & 0x7F);
      y[i] = static_cast<char>(0x80 | (i & 0x7F));
    }
    MakeInput("x", x);
    MakeInput("y", y);
    expected = ExpectedReport({"x", "y"}, {x, y}, 0);
  }
  std::string expected;
};

TEST_F(LongReport, ArrivesWhole) {
  EXPECT_EQ(Run({"x", "y", "-f:r.txt"}).exitCode, 0);
  ExpectSameReport(harness::ReadFile(Path("r.txt")), expected);
  for (bool nonBlocking : {false, true}) {
    // A parent may leave the pipe non-blocking: "try again" is no failure.
    harness::RunOptions options = Options({"x", "y", "-f:"}, StdoutMode::Pipe);
    options.nonBlockingStdout = nonBlocking;
    RunResult result = Run(options);
    EXPECT_EQ(result.exitCode, 0) << (nonBlocking ? "non-blocking" : "blocking");
    ExpectSameReport(result.stdoutBytes, expected);
  }
}

// Every failed hand-over of the report is error 101.
TEST_F(LongReport, AFullDeviceOrAClosedPipe) {
  RunResult result = Run({"x", "y", "-f:/dev/full"}, StdoutMode::File);
  EXPECT_EQ(result.exitCode, 101);
  ExpectStopMessage(result.stdoutBytes, 101);
  ExpectScreenBannerOnly(result);
  result = RunInShell(R"("$0" "$@" | true; exit ${PIPESTATUS[0]})", {"x", "y", "-f:"});
  EXPECT_EQ(result.exitCode, 101) << "128 + 13 would be death by SIGPIPE";
  ExpectScreenBannerOnly(result);
}

}  // namespace
}  // namespace e2e
