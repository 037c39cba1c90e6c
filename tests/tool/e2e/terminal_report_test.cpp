// The report on the terminal: code page glyphs, wrapping of wide lines and
// scrolling of the whole screen.
#include <string>
#include <vector>

#include "e2e_support.h"
#include "report_model.h"

namespace e2e {
namespace {

using TerminalReport = ZevTest;

std::vector<std::string> ShownLines(const std::string& report) {
  std::vector<std::string> shown;
  for (const std::string& line : SplitReportLines(report)) shown.push_back(TerminalText(line));
  return shown;
}

TEST_F(TerminalReport, RawBytesShowAsCodePageGlyphs) {
  // 0x7F..0xFF against zeros: one line per byte, on a screen tall enough
  // that nothing scrolls.
  std::string high, zeros(129, '\0');
  for (int b = 0x7F; b <= 0xFF; ++b) high += static_cast<char>(b);
  MakeInput("high", high);
  MakeInput("zeros", zeros);
  harness::RunOptions options = Options({"high", "zeros"});
  options.rows = 140;
  harness::RunResult result = Run(options);
  EXPECT_EQ(result.exitCode, 0);
  const std::vector<std::string> shown =
      ShownLines(ExpectedReport({"high", "zeros"}, {high, zeros}, 0, {}));
  ASSERT_EQ(shown.size(), 130u);
  EXPECT_EQ(result.RowText(5), " " + shown[0]);
  for (size_t i = 1; i < shown.size(); ++i) EXPECT_EQ(result.RowText(5 + static_cast<int>(i)), shown[i]);
  // Spot checks that do not lean on the glyph table above.
  EXPECT_EQ(result.RowText(6), "00000000   │127  $7F '⌂' │  0  $00 '.'");
  EXPECT_EQ(result.RowText(6 + 0xB3 - 0x7F), "00000034   │179  $B3 '│' │  0  $00 '.'");
  EXPECT_EQ(result.RowText(6 + 0xE1 - 0x7F), "00000062   │225  $E1 'ß' │  0  $00 '.'");
  EXPECT_EQ(result.RowText(6 + 0xFF - 0x7F), "00000080   │255  $FF '\u00A0' │  0  $00 '.'");
}

TEST_F(TerminalReport, TheWholeScreenScrolls) {
  std::string a(64, 'a'), b(64, 'a');
  for (int i = 0; i < 40; ++i) b[i] = 'b';
  MakeInput("a", a);
  MakeInput("b", b);
  harness::RunResult result = Run({"a", "b"});
  EXPECT_EQ(result.exitCode, 0);
  const std::vector<std::string> shown = ShownLines(ExpectedReport({"a", "b"}, {a, b}, 0, {}));
  ASSERT_EQ(shown.size(), 41u);
  // The header went to row 6; after 41 line ends the cursor would be 22
  // rows below the screen, so the banner and the first lines are gone and
  // the margin column is used.
  for (int row = 0; row < 24; ++row) EXPECT_EQ(result.RowText(row), shown[17 + row]) << "row " << row + 1;
  EXPECT_EQ(result.RowText(24), "");
  EXPECT_EQ(result.cursorRow, 24);
  EXPECT_EQ(result.cursorColumn, 0);
}

TEST_F(TerminalReport, TenInputsWrapAtTheScreenEdge) {
  std::vector<std::string> names, contents;
  for (int k = 0; k < 10; ++k) {
    std::string bytes(32, 'z');
    bytes[5] = static_cast<char>('a' + k);
    bytes[20] = static_cast<char>(0x80 + k);
    names.push_back(MakeInput("in" + std::to_string(k) + ".bin", bytes));
    contents.push_back(bytes);
  }
  harness::RunOptions options = Options(names);
  options.rows = 40;
  harness::RunResult result = Run(options);
  EXPECT_EQ(result.exitCode, 0);
  const std::string report = ExpectedReport(names, contents, 0, {});
  const std::vector<std::string> lines = SplitReportLines(report);
  ASSERT_EQ(lines.size(), 3u);
  for (const std::string& line : lines) EXPECT_EQ(line.size(), 150u);
  // 79 cells of the header on row 6 after the margin, the other 71 below;
  // each difference line fills one row and 70 cells of the next.
  const std::vector<std::string> shown = ShownLines(report);
  EXPECT_EQ(CellsText(result, 5, 1, 79) + CellsText(result, 6, 0, 71), shown[0]);
  EXPECT_EQ(CellsText(result, 7, 0, 80) + CellsText(result, 8, 0, 70), shown[1]);
  EXPECT_EQ(CellsText(result, 9, 0, 80) + CellsText(result, 10, 0, 70), shown[2]);
  EXPECT_EQ(result.RowText(11), "");
}

TEST_F(TerminalReport, ControlBytesInANameCannotSteerTheTerminal) {
  // An escape sequence that would clear the screen and turn the text red.
  const std::string sneaky = "e\x1b[2J\x1b[31mx";
  MakeInput(sneaky, "12");
  MakeInput("plain", "13");
  harness::RunResult result = Run({sneaky, "plain"});
  EXPECT_EQ(result.exitCode, 0);
  ExpectBanner(result);
  EXPECT_EQ(result.RowText(5), " Files:     │ e←[2J←[31mx │       plain");
  EXPECT_EQ(result.RowText(6), "00000001   │ 50  $32 '2' │ 51  $33 '3'");
  EXPECT_EQ(result.At(6, 14).foreground, -1);
}

TEST_F(TerminalReport, Utf8NamesPassUnchanged) {
  // On the terminal the column keeps its width on screen; in a file the
  // field counts bytes, so the nine-byte name gets three blanks.
  const std::string name = "\xC3\xBC" "ber.bin";
  MakeInput(name, "ab");
  MakeInput("b", "ac");
  harness::RunResult result = Run({name, "b"});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.RowText(5), " Files:     │    über.bin │           b");
  result = Run({name, "b", "-f:r.txt"});
  EXPECT_EQ(harness::ReadFile(Path("r.txt")).substr(0, 24), "Files:     \xB3   \xC3\xBC" "ber.bin");
}

}  // namespace
}  // namespace e2e
