// The Windows program's report and its run-time error stops under wine:
// the worked example at every destination, a differential run against the
// model, share mode, and the error numbers of Windows.
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <random>

#include "e2e_support.h"

namespace e2e {
namespace {

const std::string kReport =
    "Files:     \xB3     old.bin \xB3     new.bin \xB3  patch3.bin\r\n"
    "0000012C   \xB3 65  $41 'A' \xB3 10  $0A '.' \xB3" "122  $7A 'z'\r\n"
    "000001F4   \xB3  0  $00 '.' \xB3 32  $20 ' ' \xB3 39  $27 '''\r\n";
const std::vector<std::string> kNames = {"old.bin", "new.bin", "patch3.bin"};

class WindowsReport : public ZevTest {
 protected:
  void MakeWorkedExample() {
    std::string base(600, '\0');
    for (size_t i = 0; i < base.size(); ++i) base[i] = static_cast<char>(i * 7 + 3);
    const std::string tails[] = {"", "tail", "longer tail"};
    const char at300[] = {0x41, 0x0A, 0x7A}, at500[] = {0x00, 0x20, 0x27};
    for (int k = 0; k < 3; ++k) {
      std::string bytes = base + tails[k];
      bytes[300] = at300[k];
      bytes[500] = at500[k];
      MakeInput(kNames[k], bytes);
    }
  }

  // Runs launcher.exe, which starts program with exactly the command line
  // `line` while it holds `held` (if given) open without sharing.
  RunResult Launch(const std::string& program, const std::string& line, const std::string& held = "",
                   StdoutMode mode = StdoutMode::Terminal) {
    harness::WriteFile(Path("line.txt"), line);
    std::vector<std::string> args = {program, "line.txt"};
    if (!held.empty()) args.push_back(held);
    harness::RunOptions options = Options(args, mode);
    options.args[0] = LAUNCHER_EXE;
    return Run(options);
  }
};

TEST_F(WindowsReport, WorkedExampleToAFileOrRedirectedStandardOutput) {
  MakeWorkedExample();
  const struct {
    std::vector<std::string> args;
    StdoutMode mode;
    bool toStandardOutput;
  } cases[] = {
      {{"old.bin", "new.bin", "patch3.bin", "-f:report.txt"}, StdoutMode::Terminal, false},
      {{"/f:report.txt", "old.bin", "/o:0", "new.bin", "patch3.bin"}, StdoutMode::File, false},
      {{"old.bin", "new.bin", "patch3.bin", "-f:"}, StdoutMode::File, true},
      {{"/f", "old.bin", "new.bin", "patch3.bin"}, StdoutMode::Pipe, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args[0] + " " + c.args[3] + (c.mode == StdoutMode::Pipe ? " to a pipe" : ""));
    harness::WriteFile(Path("report.txt"), std::string(1000, 'x'));  // to be emptied first
    RunResult result = Run(c.args, c.mode);
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.stdoutBytes, c.toStandardOutput ? kReport : "");
    EXPECT_EQ(harness::ReadFile(Path("report.txt")), c.toStandardOutput ? std::string(1000, 'x') : kReport);
    ExpectScreenBannerOnly(result);
  }
}

// "con" is the console device, wherever standard output goes: the bytes
// 0xB3 and the raw data bytes show in the console's code page.
TEST_F(WindowsReport, WorkedExampleOnTheConsole) {
  MakeWorkedExample();
  for (StdoutMode mode : {StdoutMode::Terminal, StdoutMode::File, StdoutMode::Pipe}) {
    RunResult result = Run({"old.bin", "new.bin", "patch3.bin", "-f:CON"}, mode);
    EXPECT_EQ(result.exitCode, 0);
    ExpectBanner(result);
    EXPECT_EQ(result.RowText(5), " Files:     │     old.bin │     new.bin │  patch3.bin");
    EXPECT_EQ(result.RowText(6), "0000012C   │ 65  $41 'A' │ 10  $0A '.' │122  $7A 'z'");
    EXPECT_EQ(result.RowText(7), "000001F4   │  0  $00 '.' │ 32  $20 ' ' │ 39  $27 '''");
    EXPECT_EQ(result.RowText(8), "");
    ExpectColours(result, 6, 0, 52, -1, -1);
    EXPECT_EQ(result.cursorRow, 8);
    EXPECT_EQ(result.cursorColumn, 0);
    EXPECT_EQ(result.stdoutBytes, "");
  }
}

TEST_F(WindowsReport, OnTheConsoleTheWholeScreenScrollsAndRawBytesShowAsGlyphs) {
  std::string a(64, 'a'), b(64, 'a');
  for (int i = 0; i < 40; ++i) b[i] = static_cast<char>(0xB0 + i % 16);
  MakeInput("a", a);
  MakeInput("b", b);
  RunResult result = Run({"a", "b"});
  EXPECT_EQ(result.exitCode, 0);
  const std::vector<std::string> lines = SplitReportLines(ExpectedReport({"a", "b"}, {a, b}, 0));
  ASSERT_EQ(lines.size(), 41u);
  // The header went to row 6; 41 line ends later the banner and the first
  // lines are gone and the margin column is used.
  for (int row = 0; row < 24; ++row) EXPECT_EQ(result.RowText(row), TerminalText(lines[17 + row])) << row;
  EXPECT_EQ(result.RowText(24), "");
  EXPECT_EQ(result.cursorRow, 24);
  EXPECT_EQ(result.cursorColumn, 0);
}

// A smaller run of the Linux suite's differential test: random inputs,
// switches in any order with either prefix, the report against the model.
TEST_F(WindowsReport, RandomRunsMatchTheModel) {
  std::mt19937 random(20261207u);
  const auto between = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
  constexpr int kBlock = 65536;
  for (int run = 0; run < 12 && !HasFailure(); ++run) {
    const int count = between(2, 10);
    const int length = between(0, 1) ? between(0, 300) : kBlock + between(-3, 3);
    std::vector<std::string> names, contents;
    std::string common(static_cast<size_t>(length) + 20, '\0');
    for (char& byte : common) byte = static_cast<char>(between(0, 255));
    for (int k = 0; k < count; ++k) {
      names.push_back("in" + std::to_string(k) + (between(0, 1) ? ".dat" : "_longer_name.bin"));
      contents.push_back(common.substr(0, static_cast<size_t>(length + between(0, 20))));
      for (int change = between(0, 20); change > 0; --change) {
        contents[k][static_cast<size_t>(between(0, length + 19)) % contents[k].size()] =
            static_cast<char>(between(0, 255));
      }
      for (int tail = 0; tail < 3 && length >= 3; ++tail)
        contents[k][static_cast<size_t>(length - 1 - tail)] = static_cast<char>(k * 20 + tail);
    }
    Selection selection;
    std::vector<std::string> args;
    const char* prefix = between(0, 1) ? "-" : "/";
    if (between(0, 2) == 0) {
      selection.ascending = true;
      args.push_back(std::string(prefix) + "a");
    }
    if (between(0, 2) == 0) {
      selection.descending = true;
      args.push_back(std::string(prefix) + "D");
    }
    const int offset = between(0, 3) == 0 ? between(0, length) : 0;
    args.push_back(std::string(prefix) + "o:" + std::to_string(offset));
    args.push_back(std::string(prefix) + "f:report.txt");
    watched.clear();
    for (int k = 0; k < count; ++k) {
      MakeInput(names[k], contents[k]);
      args.insert(args.begin() + between(0, static_cast<int>(args.size())), names[k]);
    }
    // The inserts above keep the names in their order among the switches.
    std::vector<std::string> ordered;
    size_t nextName = 0;
    for (const std::string& arg : args) ordered.push_back(arg[0] == '-' || arg[0] == '/' ? arg : names[nextName++]);
    SCOPED_TRACE("run " + std::to_string(run));
    RunResult result = Run(ordered);
    EXPECT_EQ(result.exitCode, 0);
    ExpectScreenBannerOnly(result);
    ExpectSameReport(harness::ReadFile(Path("report.txt")), ExpectedReport(names, contents, offset, selection));
    for (const std::string& name : names) unlink(Path(name).c_str());
  }
}

TEST_F(WindowsReport, RunTimeErrorStopsCarryTheWindowsNumbers) {
  MakeInput("a", "abc");
  MakeInput("b", "abd");
  ASSERT_EQ(mkdir(Path("sub").c_str(), 0755), 0);
  const struct {
    std::vector<std::string> args;
    int number;
    const char* report;  // the report file left behind, if any
  } cases[] = {
      {{"a", "b", "-f:missing\\report.txt"}, 3, nullptr},
      {{"a", "b", "-f:a<b"}, 123, nullptr},
      {{"a", "b", "-f:sub"}, 5, nullptr},
      // The input is held without sharing: the report cannot replace it.
      {{"a", "b", "-f:a"}, 5, nullptr},
      {{"a", "b", "-f:.\\B"}, 5, nullptr},
      {{"a", "b", "-o:-1", "-f:r.txt"}, 131, "r.txt"},
      {{"a", "b", "-o:$FFFFFFFF", "-f:r.txt"}, 131, "r.txt"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args.back());
    RunResult result = Run(c.args, StdoutMode::File);
    EXPECT_EQ(result.exitCode, c.number);
    ExpectStopMessage(result.stdoutBytes, c.number);
    ExpectScreenBannerOnly(result);
    if (c.report != nullptr) {
      EXPECT_EQ(harness::ReadFile(Path(c.report)), "");
      EXPECT_TRUE(FileExists(Path(c.report)));
    }
  }
}

TEST_F(WindowsReport, TheStopMessageOnTheConsoleListsAtMostNineLevels) {
  MakeInput("a", "abc");
  MakeInput("b", "abd");
  RunResult result = Run({"a", "b", "-o:-1"});
  EXPECT_EQ(result.exitCode, 131);
  ExpectBanner(result);
  EXPECT_EQ(result.RowText(5).rfind(" Runtime error 131 at 0x", 0), 0u) << result.RowText(5);
  int places = 0;
  for (int row = 6; row < result.rows && result.RowText(row).rfind("  0x", 0) == 0; ++row) ++places;
  EXPECT_GE(places, 4) << "the place again and the driver's levels";
  EXPECT_LE(places, 10);
}

TEST_F(WindowsReport, AFileHeldByAnotherProgramIsRefused) {
  MakeInput("a", "abc");
  MakeInput("b", "abd");
  // An input held elsewhere cannot be opened.
  RunResult result = Launch(ZEV_EXE, "zev a b", "a");
  ExpectFatal(result, "Can't open file: a");
  // Nor can a report file that another program holds be replaced.
  harness::WriteFile(Path("held.txt"), "held");
  result = Launch(ZEV_EXE, "zev a b -f:held.txt", "held.txt", StdoutMode::File);
  EXPECT_EQ(result.exitCode, 5);
  ExpectStopMessage(result.stdoutBytes, 5);
  EXPECT_EQ(harness::ReadFile(Path("held.txt")), "held");
  // Once it is let go, the same run goes through.
  result = Launch(ZEV_EXE, "zev a b -f:held.txt");
  EXPECT_EQ(result.exitCode, 0);
  ExpectSameReport(harness::ReadFile(Path("held.txt")), ExpectedReport({"a", "b"}, {"abc", "abd"}, 0));
}

}  // namespace
}  // namespace e2e
