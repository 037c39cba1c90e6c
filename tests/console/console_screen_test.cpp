// The console window and the banner and usage screen as a terminal shows
// them: the probe draws on a pseudo-terminal and the screen it leaves is
// read back cell by cell.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "harness/palette.h"
#include "harness/terminal_harness.h"
#include "harness/usage_screen.h"

namespace {

using harness::RunResult;
using harness::StdoutMode;

// The terminal's palette numbers, which count red and blue the other way
// round from the window's colours; -1 is the terminal's own colour.
enum { kDefault = -1, kBlack, kRed, kBlue = 4, kLightGrey = 7, kLightRed = 9, kLightGreen, kYellow, kWhite = 15 };

// The usage screen comes from the tool itself, run without arguments.
RunResult RunProbe(const std::string& scenario, int columns = 80, int rows = 25,
                   StdoutMode mode = StdoutMode::Terminal) {
  harness::RunOptions options;
  options.program = scenario == "usage" ? ZEV_PROGRAM : CONSOLE_PROBE;
  if (scenario != "usage") options.args = {scenario};
  options.columns = columns;
  options.rows = rows;
  options.stdoutMode = mode;
  const RunResult result = harness::RunOnTerminal(options);
  EXPECT_FALSE(result.timedOut) << scenario;
  EXPECT_EQ(result.exitCode, 0) << scenario << ": " << result.harnessError << result.stderrBytes;
  return result;
}

// Cells [first, first + count) of a row (0-based) show in these colours.
void ExpectColours(const RunResult& result, int row, int first, int count, int foreground,
                   int background) {
  for (int column = first; column < first + count; ++column) {
    const harness::Cell& cell = result.At(row, column);
    ASSERT_TRUE(cell.foreground == foreground && cell.background == background)
        << "row " << row << ", column " << column << ": " << cell.foreground << " on "
        << cell.background;
  }
}

// The rows listed have this text; the rest of the screen is empty.
void ExpectRows(const RunResult& result, const std::vector<std::string>& rows) {
  for (int row = 0; row < result.rows; ++row) {
    EXPECT_EQ(result.RowText(row), row < static_cast<int>(rows.size()) ? rows[row] : "")
        << "row " << row;
  }
}

void ExpectCursor(const RunResult& result, int row, int column) {
  EXPECT_TRUE(result.cursorRow == row && result.cursorColumn == column)
      << result.cursorRow << "," << result.cursorColumn;
}

// The tool's colours, on black.
harness::ShownColours OnBlack(int toolColour) { return {harness::PaletteIndex(toolColour), kBlack}; }

TEST(UsageScreen, InTheMarginWindowWhenTheScreenHoldsItElseTopLeft) {
  // Redirected standard output must not keep the screens from the
  // terminal, nor receive any of them.
  const struct {
    int columns, rows;
    StdoutMode mode;
    int origin, width;
  } cases[] = {{80, 25, StdoutMode::Terminal, 1, 78}, {100, 40, StdoutMode::File, 1, 78},
               {78, 25, StdoutMode::Pipe, 0, 78},     {80, 23, StdoutMode::File, 0, 80},
               {60, 25, StdoutMode::Terminal, 0, 60}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.columns) + "x" + std::to_string(c.rows));
    const RunResult result = RunProbe("usage", c.columns, c.rows, c.mode);
    harness::ExpectUsageScreen(result, c.origin, c.width, OnBlack);
    EXPECT_EQ(result.stdoutBytes, "");
  }
}

TEST(UsageScreen, NoTerminalAtAllEndsWithTheMessage) {
  harness::RunOptions options;
  options.program = ZEV_PROGRAM;
  options.controllingTerminal = false;
  const RunResult result = harness::RunOnTerminal(options);
  EXPECT_TRUE(!result.timedOut && result.exitCode == 1) << result.exitCode;
  EXPECT_EQ(result.stderrBytes, "No way to get the console handle\r\n");
  EXPECT_EQ(result.stdoutBytes, "");
}

TEST(WindowRules, WrapFullWidthLineBackspaceAndLoneLineFeed) {
  const RunResult result = RunProbe("lines");
  // The full-width line's own line end leaves an empty row; backspace
  // stops at the window's left edge.
  ExpectRows(result, {"", " " + std::string(78, 'a'), " 0123456789", " " + std::string(78, 'w'),
                      "", " after", " Xb", " Y", " abc", "    def"});
  ExpectColours(result, 1, 1, 78, kLightGrey, kBlack);
  EXPECT_EQ(result.At(1, 79).background, kDefault);
  ExpectCursor(result, 10, 1);
}

// Margin cells painted white on red by the probe are all still so.
void ExpectPaintedMargin(const RunResult& result) {
  EXPECT_EQ(result.RowText(0), "top margin");
  ExpectColours(result, 0, 0, 80, kWhite, kRed);
  ExpectColours(result, 24, 0, 80, kWhite, kRed);
  for (int row = 1; row < 24; ++row) {
    ExpectColours(result, row, 0, 1, kWhite, kRed);
    ExpectColours(result, row, 79, 1, kWhite, kRed);
  }
}

TEST(WindowRules, ScrollingKeepsTheMarginAndFillsInTheCurrentAttribute) {
  const RunResult result = RunProbe("scroll31");
  std::vector<std::string> rows = {"top margin"};
  for (int line = 10; line <= 30; ++line) rows.push_back(" line " + std::to_string(line));
  ExpectRows(result, rows);
  ExpectPaintedMargin(result);
  ExpectColours(result, 22, 1, 78, kLightGrey, kBlack);
  ExpectColours(result, 23, 1, 78, kWhite, kBlue);  // 31: white on blue
  ExpectCursor(result, 23, 1);
}

TEST(WindowRules, ClearingTheWindowKeepsTheMargin) {
  const RunResult result = RunProbe("margin");
  ExpectRows(result, {"top margin", " cleared"});
  ExpectPaintedMargin(result);
  for (int row = 1; row < 24; ++row) ExpectColours(result, row, 1, 78, kWhite, kBlue);
  ExpectCursor(result, 2, 1);
}

TEST(Characters, Utf8HighBytesAndControlsAreDrawnAndNeverActOnTheTerminal) {
  const RunResult result = RunProbe("text");
  // UTF-8 takes its cells and a wide character wraps whole; other high
  // bytes show as code page 437; tab and escape are pictures, the bell is
  // nothing, and the escape sequences neither coloured nor cleared.
  ExpectRows(result, {"", " Grüße 日本語 😀 end", " " + std::string(77, '.'), " 日",
                      " <Ç¢░█\u00A0├(>", " a○b←[31mred←[2J←]0;title!", " < ⌂♀>"});
  EXPECT_TRUE(result.At(1, 7).text == "日" && result.At(1, 7).width == 2);
  EXPECT_TRUE(result.At(1, 14).text == "😀" && result.At(1, 17).text == "e");
  ExpectColours(result, 2, 78, 1, kLightGrey, kBlack);  // the skipped cell, in the text's colours
  ExpectColours(result, 5, 1, 25, kLightRed, kBlack);
  ExpectCursor(result, 6, 6);
  EXPECT_EQ(result.terminalBytes.find("\x1b[2J"), std::string::npos);
  EXPECT_EQ(result.terminalBytes.find("\x1b]0;"), std::string::npos);
}

}  // namespace
