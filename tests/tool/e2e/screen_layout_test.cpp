// The fixed screens as a user meets them: the usage screen, and where the
// banner and messages land on screens of other sizes.
#include <string>

#include "e2e_support.h"

namespace e2e {
namespace {

using ScreenLayout = ZevTest;

TEST_F(ScreenLayout, NoArgumentsShowTheUsageScreen) {
  harness::RunResult result = Run(std::vector<std::string>{}, harness::StdoutMode::File);
  EXPECT_EQ(result.exitCode, 0);
  ExpectBanner(result);
  const std::string rows[] = {
      " Usage:           ZEV file1 file2 [file3 .. fileN] [-switch1 .. -switchK]",
      "",
      " Switches:",
      "    -a            Show differences if bytes in files have ascending order",
      "    -d            Show differences if bytes in files have descending order",
      "    -f:filename   Output file name, console by default",
      "    -o:########   File offset [PASCAL style]",
      "    -s[:###]      Show if bytes in files change on a step [PASCAL style]",
      "",
      " Notes:",
      "    If -a, -d and -s switches aren't set, all differences are showed",
      "",
  };
  for (int i = 0; i < 12; ++i) EXPECT_EQ(result.RowText(5 + i), rows[i]) << "row " << 6 + i;
  ExpectColours(result, 5, 1, 6, TerminalColour(7), TerminalColour(0));
  ExpectColours(result, 7, 1, 9, TerminalColour(14), TerminalColour(0));
  ExpectColours(result, 8, 1, 20, TerminalColour(7), TerminalColour(0));
  ExpectColours(result, 14, 1, 6, TerminalColour(14), TerminalColour(0));
  ExpectColours(result, 15, 1, 20, TerminalColour(7), TerminalColour(0));
  EXPECT_EQ(result.cursorRow, 17);
  EXPECT_EQ(result.cursorColumn, 1);
  EXPECT_EQ(result.stdoutBytes, "");
}

TEST_F(ScreenLayout, ALargerScreenKeepsTheSameWindow) {
  MakeInput("a", "x");
  harness::RunOptions options = Options({"a", "missing"});
  options.columns = 120;
  options.rows = 40;
  harness::RunResult result = Run(options);
  ExpectFatal(result, "Can't open file: missing");
}

TEST_F(ScreenLayout, ANarrowScreenIgnoresTheWindow) {
  harness::RunOptions options = Options({"-x"});
  options.columns = 78;
  harness::RunResult result = Run(options);
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.RowText(0), std::string(54, ' ') + "Brimlo comaparator");
  EXPECT_EQ(result.RowText(2), std::string(51, ' ') + "ZEV v1.0 build 050107");
  EXPECT_EQ(result.RowText(3), "");
  EXPECT_EQ(result.RowText(4), "Unknown Parameter: -x");
  ExpectColours(result, 4, 0, 21, TerminalColour(12), TerminalColour(0));
}

}  // namespace
}  // namespace e2e
