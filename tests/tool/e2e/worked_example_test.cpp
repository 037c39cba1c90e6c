// The documented three-file example, byte for byte, at every destination.
#include "e2e_support.h"

namespace e2e {
namespace {

const std::string kReport =
    "Files:     \xB3     old.bin \xB3     new.bin \xB3  patch3.bin\r\n"
    "0000012C   \xB3 65  $41 'A' \xB3 10  $0A '.' \xB3" "122  $7A 'z'\r\n"
    "000001F4   \xB3  0  $00 '.' \xB3 32  $20 ' ' \xB3 39  $27 '''\r\n";
const std::vector<std::string> kNames = {"old.bin", "new.bin", "patch3.bin"};

class WorkedExample : public ZevTest {
 protected:
  void SetUp() override {
    // Equal everywhere but at 300 and 500; what lies past the shortest
    // length must not count.
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
};

TEST_F(WorkedExample, ToAFileOrRedirectedStandardOutput) {
  const struct {
    std::vector<std::string> args;
    StdoutMode mode;
    bool toStandardOutput;
  } cases[] = {
      {{"old.bin", "new.bin", "patch3.bin", "-f:report.txt"}, StdoutMode::Terminal, false},
      {{"-f:report.txt", "old.bin", "-o:0", "new.bin", "patch3.bin"}, StdoutMode::File, false},
      {{"old.bin", "new.bin", "patch3.bin", "-f:"}, StdoutMode::File, true},
      {{"-f", "old.bin", "new.bin", "patch3.bin"}, StdoutMode::Pipe, true},
      {{"old.bin", "new.bin", "-F:", "patch3.bin"}, StdoutMode::File, true},
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

// The default name is the terminal, wherever standard output goes.
TEST_F(WorkedExample, OnTheTerminal) {
  for (StdoutMode mode : {StdoutMode::Terminal, StdoutMode::File, StdoutMode::Pipe}) {
    RunResult result = Run(kNames, mode);
    EXPECT_EQ(result.exitCode, 0);
    ExpectBanner(result);
    // The table starts where the banner left the cursor, later lines at
    // the screen's left edge, in the terminal's own colours.
    EXPECT_EQ(result.RowText(5), " Files:     │     old.bin │     new.bin │  patch3.bin");
    EXPECT_EQ(result.RowText(6), "0000012C   │ 65  $41 'A' │ 10  $0A '.' │122  $7A 'z'");
    EXPECT_EQ(result.RowText(7), "000001F4   │  0  $00 '.' │ 32  $20 ' ' │ 39  $27 '''");
    EXPECT_EQ(result.RowText(8), "");
    ExpectColours(result, 5, 1, 52, -1, -1);
    for (int row : {6, 7}) ExpectColours(result, row, 0, 52, -1, -1);
    EXPECT_EQ(result.cursorRow, 8);
    EXPECT_EQ(result.cursorColumn, 0);
    EXPECT_EQ(result.stdoutBytes, "");
  }
}

}  // namespace
}  // namespace e2e
