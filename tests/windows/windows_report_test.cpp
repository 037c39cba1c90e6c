// The Windows program's report and its run-time error stops under wine:
// a differential run against the model, share
// mode, and the error numbers of Windows.
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <random>

#include "e2e_support.h"
#include "windows_programs.h"

namespace e2e {
namespace {

class WindowsReport : public ZevTest {
 protected:
  // Runs launcher.exe, which starts program with exactly the command line
  // `line` while it holds `held` (if given) open without sharing.
  RunResult Launch(const std::string& program, const std::string& line, const std::string& held = "",
                   StdoutMode mode = StdoutMode::Terminal) {
    harness::WriteFile(Path("line.txt"), line);
    std::vector<std::string> args = {program, "line.txt"};
    if (!held.empty()) args.push_back(held);
    harness::RunOptions options = Options(args, mode);
    options.args[0] = WindowsProgram("tests/windows/launcher.exe");
    return Run(options);
  }
};

// The worked example at every destination and the whole screen scrolling
// are the Linux suite's own tests, built into this suite too.

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
  RunResult result = Launch(WindowsProgram("zev.exe"), "zev a b", "a");
  ExpectFatal(result, "Can't open file: a");
  // Nor can a report file that another program holds be replaced.
  harness::WriteFile(Path("held.txt"), "held");
  result = Launch(WindowsProgram("zev.exe"), "zev a b -f:held.txt", "held.txt", StdoutMode::File);
  EXPECT_EQ(result.exitCode, 5);
  ExpectStopMessage(result.stdoutBytes, 5);
  EXPECT_EQ(harness::ReadFile(Path("held.txt")), "held");
  // (That the same runs go through once the files are let go is not
  // checked: wine releases the files of a program that has ended a moment
  // after its parent sees it end, where Windows releases them before.)
}

}  // namespace
}  // namespace e2e
