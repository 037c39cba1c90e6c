// Where the report goes, and the run-time stops when it cannot go there:
// refused names, a negative offset, a full device, a closed pipe, a file
// that may grow no further.
#include <sys/stat.h>
#include <unistd.h>

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
      {"a", 5},    {"./a", 5},    {"sub/../b", 5}, {"hard", 5}, {"soft", 5}, {Path("a"), 5},
      {"sub", 5},  {"no-such-dir/r.txt", 3},
  };
  for (const auto& [name, number] : cases) {
    SCOPED_TRACE(name);
    harness::RunResult result = Run({"a", "b", "-f:" + name}, StdoutMode::File);
    EXPECT_EQ(result.exitCode, number);
    ExpectStopMessage(result.stdoutBytes, number);
    ExpectScreenBannerOnly(result);
  }
  EXPECT_FALSE(FileExists(Path("no-such-dir")));
}

TEST_F(ReportDestination, NegativeStartOffsetStopsAfterTheReportIsCreated) {
  for (const char* offset : {"-o:-1", "-o:$FFFFFFFF", "-o:-2147483648"}) {
    for (bool existed : {false, true}) {
      SCOPED_TRACE(std::string(offset) + (existed ? " over an old report" : " new report"));
      if (existed) harness::WriteFile(Path("r.txt"), "old contents");
      else unlink(Path("r.txt").c_str());
      harness::RunResult result = Run({"a", offset, "b", "-f:r.txt"}, StdoutMode::File);
      EXPECT_EQ(result.exitCode, 131);
      ExpectStopMessage(result.stdoutBytes, 131);
      ExpectScreenBannerOnly(result);
      EXPECT_TRUE(FileExists(Path("r.txt")));
      EXPECT_EQ(harness::ReadFile(Path("r.txt")), "");
    }
  }
  // A report on standard output holds nothing yet: the stop message alone.
  harness::RunResult result = Run({"a", "b", "-f:", "-o:-1"}, StdoutMode::Pipe);
  EXPECT_EQ(result.exitCode, 131);
  ExpectStopMessage(result.stdoutBytes, 131);
  // On the terminal the message starts at the cursor the banner left.
  result = Run({"a", "b", "-o:-1"});
  EXPECT_EQ(result.exitCode, 131);
  ExpectBanner(result);
  const std::string first = result.RowText(5), second = result.RowText(6);
  EXPECT_EQ(first.substr(0, 22), " Runtime error 131 at ");
  EXPECT_TRUE(IsPlace(first.substr(22)) && second.substr(0, 2) == "  " && IsPlace(second.substr(2)))
      << first << "\n" << second;
}

TEST_F(ReportDestination, ConsoleNamesAndTheNullDevice) {
  for (const char* name : {"-f:con", "-f:CON", "-f:Con"}) {
    SCOPED_TRACE(name);
    harness::RunResult result = Run({"a", "b", name}, StdoutMode::File);
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.RowText(5), " Files:     │           a │           b");
    EXPECT_EQ(result.RowText(6), "00000005   │ 65  $41 'A' │ 66  $42 'B'");
    EXPECT_EQ(result.stdoutBytes, "");
    EXPECT_FALSE(FileExists(Path(name + 3))) << "a file was made for the console name";
  }
  harness::RunResult result = Run({"a", "b", "-f:/dev/null"}, StdoutMode::File);
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
  harness::RunResult result = Run({"x", "y", "-f:"}, StdoutMode::Pipe);
  EXPECT_EQ(result.exitCode, 0);
  ExpectSameReport(result.stdoutBytes, expected);
}

// Every failed hand-over of the report is error 101; what was handed over
// before it stays.
TEST_F(LongReport, AFullDevice) {
  harness::RunResult result = Run({"x", "y", "-f:/dev/full"}, StdoutMode::File);
  EXPECT_EQ(result.exitCode, 101);
  ExpectStopMessage(result.stdoutBytes, 101);
  ExpectScreenBannerOnly(result);
}

TEST_F(LongReport, AClosedPipe) {
  const std::string pipeTo = R"("$0" "$@" | )", status = R"(; exit ${PIPESTATUS[0]})";
  harness::RunResult result = RunInShell(pipeTo + "true" + status, {"x", "y", "-f:"});
  EXPECT_EQ(result.exitCode, 101) << "128 + 13 would be death by SIGPIPE";
  ExpectScreenBannerOnly(result);
  // A reader that leaves half-way keeps what it read.
  result = RunInShell(pipeTo + "head -c 10000 > kept" + status, {"x", "y", "-f:"});
  EXPECT_EQ(result.exitCode, 101);
  ExpectScreenBannerOnly(result);
  EXPECT_EQ(harness::ReadFile(Path("kept")), expected.substr(0, 10000));
  // A report on the terminal does not care.
  result = RunInShell(pipeTo + "true" + status, {"x", "y"}, StdoutMode::Terminal, 20);
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.RowText(18), TerminalText(SplitReportLines(expected).back()));
}

TEST_F(LongReport, AFileThatMayGrowNoFurther) {
  // 100 blocks of 1 KiB; ignoring SIGXFSZ makes the write fail instead.
  harness::RunResult result =
      RunInShell(R"(trap "" XFSZ; ulimit -f 100; exec "$0" "$@")", {"x", "y", "-f:r.txt"}, StdoutMode::File);
  EXPECT_EQ(result.exitCode, 101);
  ExpectStopMessage(result.stdoutBytes, 101);
  ExpectScreenBannerOnly(result);
  const std::string kept = harness::ReadFile(Path("r.txt"));
  EXPECT_EQ(kept.size(), 102400u);
  EXPECT_TRUE(kept == expected.substr(0, kept.size())) << "the report's start was not kept intact";
}

}  // namespace
}  // namespace e2e
