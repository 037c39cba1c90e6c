// The report on the terminal: code page glyphs, names that must not steer
// the terminal, and wrapping of wide lines.
#include "e2e_support.h"

namespace e2e {
namespace {

using TerminalReport = ZevTest;

TEST_F(TerminalReport, RawBytesShowAsCodePageGlyphs) {
  // 0x7F..0xFF against zeros, on a screen tall enough that nothing scrolls.
  std::string high, zeros(129, '\0');
  for (int b = 0x7F; b <= 0xFF; ++b) high += static_cast<char>(b);
  MakeInput("high", high);
  MakeInput("zeros", zeros);
  harness::RunOptions options = Options({"high", "zeros"});
  options.rows = 140;
  RunResult result = Run(options);
  EXPECT_EQ(result.exitCode, 0);
  const std::vector<std::string> lines =
      SplitReportLines(ExpectedReport({"high", "zeros"}, {high, zeros}, 0));
  ASSERT_EQ(lines.size(), 130u);
  for (int i = 0; i < 130; ++i) EXPECT_EQ(result.RowText(5 + i), (i ? "" : " ") + TerminalText(lines[i]));
  EXPECT_EQ(result.RowText(6 + 0xB3 - 0x7F), "00000034   │179  $B3 '│' │  0  $00 '.'");
}

TEST_F(TerminalReport, NamesPassAsUtf8OrGlyphsNeverAsControls) {
  // An escape sequence that would clear the screen and turn the text red;
  // a UTF-8 name keeps its column width in cells.
  const std::pair<std::string, std::string> cases[] = {
      {"e\x1b[2J\x1b[31mx", " Files:     │ e←[2J←[31mx │       plain"},
      {"\xC3\xBC" "ber.bin", " Files:     │    über.bin │       plain"},
  };
  for (const auto& [name, header] : cases) {
    MakeInput(name, "12");
    MakeInput("plain", "13");
    RunResult result = Run({name, "plain"});
    EXPECT_EQ(result.exitCode, 0);
    ExpectBanner(result);
    EXPECT_EQ(result.RowText(5), header);
    EXPECT_EQ(result.RowText(6), "00000001   │ 50  $32 '2' │ 51  $33 '3'");
    ExpectColours(result, 6, 0, 38, -1, -1);
  }
}

TEST_F(TerminalReport, TenInputsWrapAtTheScreenEdge) {
  std::vector<std::string> names, contents;
  for (int k = 0; k < 10; ++k) {
    contents.push_back(std::string(32, 'z'));
    contents[k][5] = static_cast<char>('a' + k);
    contents[k][20] = static_cast<char>(0x80 + k);
    names.push_back(MakeInput("in" + std::to_string(k) + ".bin", contents[k]));
  }
  harness::RunOptions options = Options(names);
  options.rows = 40;
  RunResult result = Run(options);
  EXPECT_EQ(result.exitCode, 0);
  const std::vector<std::string> lines = SplitReportLines(ExpectedReport(names, contents, 0));
  ASSERT_EQ(lines.size(), 3u);
  // Lines of 150 characters: the header fills row 6 after the margin and
  // 71 cells of the next; each difference line fills a row and 70 cells.
  for (const std::string& line : lines) EXPECT_EQ(line.size(), 150u);
  EXPECT_EQ(CellsText(result, 5, 1, 79) + CellsText(result, 6, 0, 71), TerminalText(lines[0]));
  EXPECT_EQ(CellsText(result, 7, 0, 80) + CellsText(result, 8, 0, 70), TerminalText(lines[1]));
  EXPECT_EQ(CellsText(result, 9, 0, 80) + CellsText(result, 10, 0, 70), TerminalText(lines[2]));
  EXPECT_EQ(result.RowText(11), "");
}

}  // namespace
}  // namespace e2e
