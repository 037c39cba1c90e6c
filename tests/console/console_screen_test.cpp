// The console window and the fixed screens as a terminal shows them: the
// probe program (and the tool itself) run on a pseudo-terminal, and the
// screen they leave is read back cell by cell.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "harness/terminal_harness.h"

namespace {

using harness::RunOnTerminal;
using harness::RunOptions;
using harness::RunResult;
using harness::StdoutMode;

constexpr int kDefault = -1;  // the terminal's own colour

// The terminal's palette numbers of the window's colours, which count red
// and blue the other way round.
constexpr int kBlack = 0;
constexpr int kBlue = 4;
constexpr int kRed = 1;
constexpr int kLightGrey = 7;
constexpr int kLightGreen = 10;
constexpr int kLightRed = 9;
constexpr int kYellow = 11;
constexpr int kWhite = 15;

const std::string kMakerLine = "Byte-by-byte comparison of two to ten files";

RunResult RunProbe(const std::string& scenario, int columns = 80, int rows = 25,
                   StdoutMode mode = StdoutMode::Terminal) {
  RunOptions options;
  options.program = CONSOLE_PROBE;
  options.args = {scenario};
  options.columns = columns;
  options.rows = rows;
  options.stdoutMode = mode;
  RunResult result = RunOnTerminal(options);
  EXPECT_FALSE(result.timedOut) << scenario;
  EXPECT_EQ(result.exitCode, 0) << scenario << ": " << result.harnessError << result.stderrBytes;
  return result;
}

// Cells [first, first + count) of a row (0-based) have these colours.
void ExpectColours(const RunResult& result, int row, int first, int count, int foreground,
                   int background) {
  for (int column = first; column < first + count; ++column) {
    const harness::Cell& cell = result.At(row, column);
    ASSERT_EQ(cell.foreground, foreground) << "row " << row << ", column " << column;
    ASSERT_EQ(cell.background, background) << "row " << row << ", column " << column;
  }
}

// The cell holds nothing that the window drew: blank, in the terminal's
// own colours.
void ExpectUntouched(const RunResult& result, int row, int column) {
  const harness::Cell& cell = result.At(row, column);
  ASSERT_TRUE(cell.text.empty() || cell.text == " ") << "row " << row << ", column " << column;
  ASSERT_EQ(cell.background, kDefault) << "row " << row << ", column " << column;
}

struct ScreenLine {
  std::string text;  // from the window's left column
  int colour;        // foreground, on black
};

// What RowText gives for a row: trailing blanks are not part of it.
std::string Trimmed(std::string text) {
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

std::string Padded(const std::string& text, int field) {
  return std::string(field > static_cast<int>(text.size()) ? field - text.size() : 0, ' ') + text;
}

std::vector<ScreenLine> BannerAndUsage() {
  return {
      {Padded("Brimlo comaparator", 72), kLightGreen},
      {Padded(kMakerLine, 72), kLightGreen},
      {Padded("ZEV v1.0 build 050107", 72), kLightGreen},
      {"", kLightGreen},
      {"Usage:           ZEV file1 file2 [file3 .. fileN] [-switch1 .. -switchK]", kLightGrey},
      {"", kLightGrey},
      {"Switches:", kYellow},
      {"   -a            Show differences if bytes in files have ascending order", kLightGrey},
      {"   -d            Show differences if bytes in files have descending order", kLightGrey},
      {"   -f:filename   Output file name, console by default", kLightGrey},
      {"   -o:########   File offset [PASCAL style]", kLightGrey},
      {"   -s[:###]      Show if bytes in files change on a step [PASCAL style]", kLightGrey},
      {"", kLightGrey},
      {"Notes:", kYellow},
      {"   If -a, -d and -s switches aren't set, all differences are showed", kLightGrey},
      {"", kLightGrey},
  };
}

// The banner and usage screen with the window's top-left cell at
// (originColumn, originRow), 0-based; nothing else drawn on the screen.
void ExpectUsageScreen(const RunResult& result, int originColumn, int originRow) {
  const std::vector<ScreenLine> lines = BannerAndUsage();
  for (int row = 0; row < result.rows; ++row) {
    const int line = row - originRow;
    if (line < 0 || line >= static_cast<int>(lines.size())) {
      for (int column = 0; column < result.columns; ++column) ExpectUntouched(result, row, column);
      continue;
    }
    const ScreenLine& expected = lines[line];
    SCOPED_TRACE("row " + std::to_string(row));
    EXPECT_EQ(result.RowText(row), Trimmed(std::string(originColumn, ' ') + expected.text));
    for (int column = 0; column < originColumn; ++column) ExpectUntouched(result, row, column);
    const int length = static_cast<int>(expected.text.size());
    ExpectColours(result, row, originColumn, length, expected.colour, kBlack);
    // No blanks were written after the last text of a line.
    for (int column = originColumn + length; column < result.columns; ++column) {
      ExpectUntouched(result, row, column);
    }
  }
  EXPECT_EQ(result.cursorRow, originRow + static_cast<int>(lines.size()));
  EXPECT_EQ(result.cursorColumn, originColumn);
}

TEST(UsageScreen, StandardScreenHasTheMarginWindow) {
  const RunResult result = RunProbe("usage");
  ExpectUsageScreen(result, 1, 1);
  EXPECT_EQ(result.cursorRow, 17);  // screen row 18
  EXPECT_EQ(result.cursorColumn, 1);  // screen column 2
}

TEST(UsageScreen, LargerScreenKeepsTheSameWindow) {
  const RunResult result = RunProbe("usage", 100, 40);
  ExpectUsageScreen(result, 1, 1);
}

TEST(UsageScreen, ScreenTooSmallForTheWindowDrawsFromTheTopLeft) {
  for (const auto& [columns, rows] : {std::pair{78, 25}, std::pair{80, 23}}) {
    SCOPED_TRACE(std::to_string(columns) + "x" + std::to_string(rows));
    const RunResult result = RunProbe("usage", columns, rows);
    ExpectUsageScreen(result, 0, 0);
  }
}

TEST(UsageScreen, NarrowScreenWrapsThePaddedBannerLines) {
  const RunResult result = RunProbe("banner", 60, 25);
  int row = 0;
  for (const std::string& text :
       {std::string("Brimlo comaparator"), kMakerLine, std::string("ZEV v1.0 build 050107")}) {
    const std::string padded = Padded(text, 72);
    EXPECT_EQ(result.RowText(row), Trimmed(padded.substr(0, 60)));
    EXPECT_EQ(result.RowText(row + 1), padded.substr(60));
    ExpectColours(result, row, 0, 60, kLightGreen, kBlack);
    ExpectColours(result, row + 1, 0, 12, kLightGreen, kBlack);
    row += 2;
  }
  EXPECT_EQ(result.RowText(6), "");
  EXPECT_EQ(result.cursorRow, 7);
  EXPECT_EQ(result.cursorColumn, 0);
}

TEST(UsageScreen, TheToolItselfShowsItWithoutArguments) {
  RunOptions options;
  options.program = ZEV_PROGRAM;
  const RunResult result = RunOnTerminal(options);
  ASSERT_FALSE(result.timedOut);
  EXPECT_EQ(result.exitCode, 0) << result.harnessError;
  ExpectUsageScreen(result, 1, 1);
}

TEST(Redirection, ScreensReachTheTerminalAndNothingElse) {
  for (StdoutMode mode : {StdoutMode::File, StdoutMode::Pipe}) {
    SCOPED_TRACE(mode == StdoutMode::File ? "file" : "pipe");
    const RunResult result = RunProbe("usage", 80, 25, mode);
    ExpectUsageScreen(result, 1, 1);
    EXPECT_EQ(result.stdoutBytes, "");
  }
}

TEST(Redirection, NoTerminalAtAllEndsWithTheMessage) {
  RunOptions options;
  options.program = CONSOLE_PROBE;
  options.args = {"usage"};
  options.controllingTerminal = false;
  const RunResult result = RunOnTerminal(options);
  ASSERT_FALSE(result.timedOut);
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.stderrBytes, "No way to get the console handle\r\n");
  EXPECT_EQ(result.stdoutBytes, "");
}

TEST(WindowRules, WrapAndFullWidthLines) {
  const RunResult result = RunProbe("wrap");
  EXPECT_EQ(result.RowText(1), " " + std::string(78, 'a'));
  EXPECT_EQ(result.RowText(2), " 0123456789");
  EXPECT_EQ(result.RowText(3), " " + std::string(78, 'w'));
  EXPECT_EQ(result.RowText(4), "");  // the full-width line's own line end
  EXPECT_EQ(result.RowText(5), " after");
  ExpectColours(result, 1, 1, 78, kLightGrey, kBlack);
  ExpectUntouched(result, 1, 79);
  EXPECT_EQ(result.cursorRow, 6);
  EXPECT_EQ(result.cursorColumn, 1);
}

TEST(WindowRules, ScrollingKeepsTheMarginAndFillsInTheCurrentAttribute) {
  const RunResult result = RunProbe("scroll31");
  EXPECT_EQ(result.RowText(0), "top margin");
  ExpectColours(result, 0, 0, 80, kWhite, kRed);
  ExpectColours(result, 24, 0, 80, kWhite, kRed);
  for (int row = 0; row < 25; ++row) {
    ExpectColours(result, row, 0, 1, kWhite, kRed);
    ExpectColours(result, row, 79, 1, kWhite, kRed);
  }
  EXPECT_EQ(result.RowText(1), " line 10");
  EXPECT_EQ(result.RowText(21), " line 30");
  EXPECT_EQ(result.RowText(23), "");
  ExpectColours(result, 22, 1, 78, kLightGrey, kBlack);
  ExpectColours(result, 23, 1, 78, kWhite, kBlue);  // 31: white on blue
  EXPECT_EQ(result.cursorRow, 23);
  EXPECT_EQ(result.cursorColumn, 1);
}

TEST(WindowRules, ClearingTheWindowKeepsTheMargin) {
  const RunResult result = RunProbe("margin");
  EXPECT_EQ(result.RowText(0), "top margin");
  EXPECT_EQ(result.RowText(1), " cleared");
  for (int row = 1; row < 24; ++row) {
    ExpectColours(result, row, 0, 1, kWhite, kRed);
    ExpectColours(result, row, 1, 78, kWhite, kBlue);
    ExpectColours(result, row, 79, 1, kWhite, kRed);
  }
  EXPECT_EQ(result.cursorRow, 2);
  EXPECT_EQ(result.cursorColumn, 1);
}

TEST(WindowRules, BackspaceAndLoneLineFeed) {
  const RunResult backspace = RunProbe("backspace");
  EXPECT_EQ(backspace.RowText(1), " Xb");
  EXPECT_EQ(backspace.RowText(2), " Y");
  EXPECT_EQ(backspace.cursorRow, 3);
  const RunResult linefeed = RunProbe("linefeed");
  EXPECT_EQ(linefeed.RowText(1), " abc");
  EXPECT_EQ(linefeed.RowText(2), "    def");
  EXPECT_EQ(linefeed.cursorRow, 3);
  EXPECT_EQ(linefeed.cursorColumn, 1);
}

TEST(Characters, Utf8TakesItsCellsAndWideCharactersWrapWhole) {
  const RunResult result = RunProbe("utf8");
  EXPECT_EQ(result.RowText(1), " Grüße 日本語 😀 end");
  EXPECT_EQ(result.At(1, 7).text, "日");
  EXPECT_EQ(result.At(1, 7).width, 2);
  EXPECT_EQ(result.At(1, 14).text, "😀");
  EXPECT_EQ(result.At(1, 17).text, "e");
  EXPECT_EQ(result.RowText(2), " " + std::string(77, '.'));
  ExpectColours(result, 2, 78, 1, kLightGrey, kBlack);  // the skipped cell, blank in the text's colours
  EXPECT_EQ(result.RowText(3), " 日");
  EXPECT_EQ(result.cursorRow, 4);
  EXPECT_EQ(result.cursorColumn, 1);
}

TEST(Characters, OtherHighBytesShowAsCodePage437) {
  const RunResult result = RunProbe("bytes");
  EXPECT_EQ(result.RowText(1), " <Ç¢░█\u00A0├(>");
  EXPECT_EQ(result.cursorRow, 2);
}

TEST(Characters, ControlBytesAreDrawnAndNeverActOnTheTerminal) {
  const RunResult result = RunProbe("controls");
  // Tab and escape are pictures; the bell is nothing; the escape sequences
  // neither coloured nor cleared anything.
  EXPECT_EQ(result.RowText(1), " a○b←[31mred←[2J←]0;title!");
  ExpectColours(result, 1, 1, 25, kLightRed, kBlack);
  EXPECT_EQ(result.RowText(2), " < ⌂♀>");
  EXPECT_EQ(result.cursorRow, 2);
  EXPECT_EQ(result.cursorColumn, 6);
  EXPECT_EQ(result.terminalBytes.find("\x1b[2J"), std::string::npos);
  EXPECT_EQ(result.terminalBytes.find("\x1b]0;"), std::string::npos);
}

}  // namespace
