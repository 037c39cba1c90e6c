// The documented three-file example, byte for byte, at every destination.
#include <string>

#include "e2e_support.h"

namespace e2e {
namespace {

const char kExpected[] =
    "Files:     \xB3     old.bin \xB3     new.bin \xB3  patch3.bin\r\n"
    "0000012C   \xB3 65  $41 'A' \xB3 10  $0A '.' \xB3" "122  $7A 'z'\r\n"
    "000001F4   \xB3  0  $00 '.' \xB3 32  $20 ' ' \xB3 39  $27 '''\r\n";

class WorkedExample : public ZevTest {
 protected:
  void SetUp() override {
    // Equal everywhere but at 300 and 500; lengths differ past the
    // shortest, which must not count.
    std::string base(600, '\0');
    for (size_t i = 0; i < base.size(); ++i) base[i] = static_cast<char>((i * 7 + 3) & 0xFF);
    std::string oldBytes = base, newBytes = base + "tail", patchBytes = base + "longer tail";
    oldBytes[300] = 0x41; newBytes[300] = 0x0A; patchBytes[300] = 0x7A;
    oldBytes[500] = 0x00; newBytes[500] = 0x20; patchBytes[500] = 0x27;
    MakeInput("old.bin", oldBytes);
    MakeInput("new.bin", newBytes);
    MakeInput("patch3.bin", patchBytes);
  }
};

TEST_F(WorkedExample, ToANamedFile) {
  harness::WriteFile(Path("report.txt"), std::string(1000, 'x'));  // emptied first
  harness::RunResult result = Run({"old.bin", "new.bin", "patch3.bin", "-f:report.txt"});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(harness::ReadFile(Path("report.txt")), kExpected);
  ExpectScreenBannerOnly(result);
  EXPECT_EQ(result.stdoutBytes, "");
}

TEST_F(WorkedExample, SwitchesAnywhereGiveTheSameRun) {
  harness::RunResult result = Run({"-f:report.txt", "old.bin", "-o:0", "new.bin", "patch3.bin"});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(harness::ReadFile(Path("report.txt")), kExpected);
}

TEST_F(WorkedExample, ToStandardOutputRedirected) {
  for (harness::StdoutMode mode : {harness::StdoutMode::File, harness::StdoutMode::Pipe}) {
    for (const char* emptyName : {"-f:", "-f", "-F:"}) {
      SCOPED_TRACE(std::string(mode == harness::StdoutMode::File ? "file " : "pipe ") + emptyName);
      harness::RunResult result = Run({"old.bin", "new.bin", "patch3.bin", emptyName}, mode);
      EXPECT_EQ(result.exitCode, 0);
      EXPECT_EQ(result.stdoutBytes, kExpected);
      ExpectScreenBannerOnly(result);
    }
  }
}

TEST_F(WorkedExample, OnTheTerminal) {
  harness::RunResult result = Run({"old.bin", "new.bin", "patch3.bin"});
  EXPECT_EQ(result.exitCode, 0);
  ExpectBanner(result);
  // The table starts where the banner left the cursor, later lines at the
  // screen's left edge, in the terminal's own colours.
  EXPECT_EQ(result.RowText(5), " Files:     │     old.bin │     new.bin │  patch3.bin");
  EXPECT_EQ(result.RowText(6), "0000012C   │ 65  $41 'A' │ 10  $0A '.' │122  $7A 'z'");
  EXPECT_EQ(result.RowText(7), "000001F4   │  0  $00 '.' │ 32  $20 ' ' │ 39  $27 '''");
  EXPECT_EQ(result.RowText(8), "");
  ExpectColours(result, 5, 1, 52, -1, -1);
  ExpectColours(result, 6, 0, 52, -1, -1);
  ExpectColours(result, 7, 0, 52, -1, -1);
  EXPECT_EQ(result.cursorRow, 8);
  EXPECT_EQ(result.cursorColumn, 0);
  EXPECT_EQ(result.stdoutBytes, "");
}

TEST_F(WorkedExample, DefaultNameWithStandardOutputRedirected) {
  for (harness::StdoutMode mode : {harness::StdoutMode::File, harness::StdoutMode::Pipe}) {
    harness::RunResult result = Run({"old.bin", "new.bin", "patch3.bin"}, mode);
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.RowText(5), " Files:     │     old.bin │     new.bin │  patch3.bin");
    EXPECT_EQ(result.RowText(7), "000001F4   │  0  $00 '.' │ 32  $20 ' ' │ 39  $27 '''");
    EXPECT_EQ(result.stdoutBytes, "");
  }
}

TEST_F(WorkedExample, LongNamePushesTheHeaderOnly) {
  MakeInput("a.bin", harness::ReadFile(Path("old.bin")));
  MakeInput("configuration.dat", harness::ReadFile(Path("new.bin")));
  MakeInput("c.bin", harness::ReadFile(Path("patch3.bin")));
  harness::RunResult result = Run({"a.bin", "configuration.dat", "c.bin", "-f:r.txt"});
  EXPECT_EQ(result.exitCode, 0);
  std::string expected = kExpected;
  const std::string header = "Files:     \xB3       a.bin \xB3" "configuration.dat \xB3       c.bin\r\n";
  EXPECT_EQ(header.size(), 57u + 2u);
  expected.replace(0, expected.find("\r\n") + 2, header);
  EXPECT_EQ(harness::ReadFile(Path("r.txt")), expected);
}

}  // namespace
}  // namespace e2e
