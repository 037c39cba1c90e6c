// A report longer than the screen on the terminal: it scrolls the whole
// screen, not the window, and raw bytes show as code page 437 glyphs.
#include "e2e_support.h"

namespace e2e {
namespace {

using ScrollingReport = ZevTest;

TEST_F(ScrollingReport, TheWholeScreenScrolls) {
  std::string a(64, 'a'), b(64, 'a');
  for (int i = 0; i < 40; ++i) b[i] = static_cast<char>(i < 20 ? 'b' : 0xB0 + i % 16);
  MakeInput("a", a);
  MakeInput("b", b);
  RunResult result = Run({"a", "b"});
  EXPECT_EQ(result.exitCode, 0);
  const std::vector<std::string> lines = SplitReportLines(ExpectedReport({"a", "b"}, {a, b}, 0));
  ASSERT_EQ(lines.size(), 41u);
  // 41 line ends after row 6 the banner and the first lines are gone and
  // the margin column is used.
  ExpectScrolledReport(result, lines);
}

}  // namespace
}  // namespace e2e
