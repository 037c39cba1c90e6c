// The tool's own messages: exact text, colour and place, exit code 1,
// which check wins when several would fail, and screens of other sizes.
#include <sys/stat.h>

#include "e2e_support.h"

namespace e2e {
namespace {

std::vector<std::string> Eleven(std::vector<std::string> before = {}, std::vector<std::string> after = {}) {
  for (int k = 0; k < 11; ++k) before.push_back("n" + std::to_string(k));
  before.insert(before.end(), after.begin(), after.end());
  return before;
}

using FatalMessage = ZevTest;

// Switches are sorted first, then the count, then the inputs in order,
// last the start offset, once the report was opened (and so emptied).
TEST_F(FatalMessage, ShownBelowTheBannerInLightRedInTheOrderOfTheChecks) {
  MakeInput("a", "abc");
  MakeInput("b", "abd");
  for (const std::string& name : Eleven()) MakeInput(name, "same");
  ASSERT_EQ(mkdir(Path("sub").c_str(), 0755), 0);
  ExpectFatalCases({
      {{"missing", "-x"}, "Unknown Parameter: -x", false},
      {Eleven({}, {"-q"}), "Unknown Parameter: -q", false},
      {{"a"}, "Count of files must be 2 or more", false},
      {{"missing"}, "Count of files must be 2 or more", false},
      {Eleven({"missing"}), "Count of files must be 10 or less", false},
      {{"missing", "a"}, "Can't open file: missing", false},
      {{"a", "gone1", "gone2"}, "Can't open file: gone1", false},
      {{"a", ""}, "Can't open file: ", false},
      {{"a", "sub"}, "Can't open file: sub", false},
      {{"a", "b", "-o:4"}, "Nothing to compare", true},
      {{"a", "/dev/null", "-o:1"}, "Nothing to compare", true},
  });
}

TEST_F(FatalMessage, ALargerScreenKeepsTheSameWindow) {
  MakeInput("a", "x");
  harness::RunOptions options = Options({"a", "missing"});
  options.columns = 120;
  options.rows = 40;
  ExpectFatal(Run(options), "Can't open file: missing");
}

TEST_F(FatalMessage, ASmallScreenIgnoresTheWindow) {
  for (const auto& [columns, rows] : {std::pair{78, 25}, std::pair{80, 23}}) {
    harness::RunOptions options = Options({"-x"});
    options.columns = columns;
    options.rows = rows;
    RunResult result = Run(options);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.RowText(0), std::string(54, ' ') + "Brimlo comaparator");
    EXPECT_EQ(result.RowText(2), std::string(51, ' ') + "ZEV v1.0 build 050107");
    EXPECT_EQ(result.RowText(3), "");
    EXPECT_EQ(result.RowText(4), "Unknown Parameter: -x");
    ExpectColours(result, 4, 0, 21, TerminalColour(12), TerminalColour(0));
    EXPECT_EQ(result.cursorRow, 6);
    EXPECT_EQ(result.cursorColumn, 0);
  }
}

}  // namespace
}  // namespace e2e
