// The window's own model, read back cell by cell without a terminal: the
// rules that the screens on a terminal cannot show on their own.
#include <gtest/gtest.h>

#include <string>

#include "console/console_inspect.h"
#include "console/console_window.h"

namespace {

void StartScreen(int columns, int rows) { StartConsoleOnHandle(-1, columns, rows); }

// The text of screen row `row` from `first` to `last`, as the terminal shows it.
std::string Cells(int row, int first, int last) {
  std::string text;
  for (int column = first; column <= last; ++column) text += CellGlyph(InspectCell(column, row));
  return text;
}

void ExpectCursor(int column, int row) {
  const ConsoleView view = InspectConsole();
  EXPECT_EQ(view.cursorColumn, column);
  EXPECT_EQ(view.cursorRow, row);
}

TEST(SetWindow, RectanglesThatDoNotFitChangeNothing) {
  struct Case {
    int columns, rows;
    uint8_t left, top, right, bottom;
  };
  const Case cases[] = {
      {78, 25, 2, 2, 79, 24},  {80, 23, 2, 2, 79, 24}, {80, 25, 10, 2, 9, 24},
      {80, 25, 2, 10, 79, 9},  {80, 25, 0, 2, 79, 24}, {80, 25, 2, 0, 79, 24},
      {80, 25, 2, 2, 255, 24},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << int(c.left) << "," << int(c.top) << "," << int(c.right)
                                    << "," << int(c.bottom) << " on " << c.columns << "x" << c.rows);
    StartScreen(c.columns, c.rows);
    WriteText("abc\r\nde", 0);
    SetWindow(c.left, c.top, c.right, c.bottom);
    const ConsoleView view = InspectConsole();
    EXPECT_EQ(view.left, 1);
    EXPECT_EQ(view.top, 1);
    EXPECT_EQ(view.right, c.columns);
    EXPECT_EQ(view.bottom, c.rows);
    ExpectCursor(3, 2);
  }
}

TEST(ClearWindow, BeforeSetWindowBlanksTheWholeScreenInTheCurrentAttribute) {
  StartScreen(80, 25);
  WriteText(std::string(80 * 25 - 1, 'x'), 0);
  SetTextAttribute(0x1F);
  ClearWindow();
  ExpectCursor(1, 1);
  for (int row = 1; row <= 25; ++row) {
    ASSERT_EQ(Cells(row, 1, 80), std::string(80, ' ')) << "row " << row;
    ASSERT_EQ(InspectCell(80, row).attribute, 0x1F) << "row " << row;
  }
}

TEST(CharacterRules, BottomRightCellScrollsAtOnce) {
  StartScreen(80, 25);
  SetWindow(2, 2, 79, 24);
  for (int line = 0; line < 22; ++line) EndLine();
  WriteText(std::string(77, 'b') + "Z", 0);
  // No byte follows the Z, yet the window has already scrolled.
  ExpectCursor(2, 24);
  EXPECT_EQ(Cells(23, 2, 79), std::string(77, 'b') + "Z");
  EXPECT_EQ(Cells(24, 2, 79), std::string(78, ' '));
}

TEST(CharacterRules, BellDoesNothingOtherControlsAreDrawn) {
  StartScreen(80, 25);
  WriteText(std::string("a\ab\t\f\x1b\0\x7f", 8), 0);
  EXPECT_EQ(Cells(1, 1, 7), "ab○♀← ⌂");
  EXPECT_EQ(InspectCell(3, 1).bytes[0], '\t');
  ExpectCursor(8, 1);
}

TEST(CharacterRules, OneRowWindowScrollsItselfBlank) {
  StartScreen(80, 25);
  SetWindow(1, 5, 80, 5);
  WriteText("gone", 0);
  EndLine();
  EXPECT_EQ(Cells(5, 1, 80), std::string(80, ' '));
  ExpectCursor(1, 5);
}

TEST(WriteText, FieldWidths) {
  struct Case {
    const char* text;
    int field;
    const char* shown;
  };
  const Case cases[] = {
      {"abc", 5, "  abc"}, {"abc", 3, "abc"},        {"abcdef", 2, "abcdef"},
      {"", 4, "    "},     {"abc", -3, "abc"},       {"日本", 6, "  日本"},
      {"Grüße", 7, "  Grüße"}, {"\xff", 3, "  \u00A0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    StartScreen(80, 25);
    WriteText(c.text, c.field);
    const std::string shown = c.shown;
    const std::string row = Cells(1, 1, 80);
    EXPECT_EQ(row.substr(0, shown.size()), shown);
    EXPECT_EQ(row.substr(shown.size()), std::string(row.size() - shown.size(), ' '));
  }
}

TEST(WideCharacters, OneThatWouldStickOutStartsTheNextRow) {
  StartScreen(80, 25);
  SetWindow(2, 2, 79, 24);
  WriteText(std::string(77, 'a') + "日", 0);
  EXPECT_EQ(Cells(2, 79, 79), " ");
  EXPECT_EQ(Cells(3, 2, 3), "日");
  EXPECT_EQ(InspectCell(2, 3).width, 2);
  EXPECT_EQ(InspectCell(3, 3).width, 0);
  ExpectCursor(4, 3);
  WriteText(std::string(74, 'a') + "日", 0);  // exactly fills the row: wraps at once
  ExpectCursor(2, 4);
}

TEST(WideCharacters, OverwritingOneHalfBlanksTheOther) {
  StartScreen(80, 25);
  WriteText("日\bx", 0);  // backspace lands on the right half
  EXPECT_EQ(Cells(1, 1, 2), " x");
  WriteText("\r本\ry", 0);  // then on the left half of a new one
  EXPECT_EQ(Cells(1, 1, 2), "y ");
  EXPECT_EQ(InspectCell(2, 1).width, 1);
}

TEST(WideCharacters, OneColumnWindowShowsTheBytesInstead) {
  StartScreen(80, 25);
  SetWindow(5, 1, 5, 25);
  WriteText("日", 0);  // E6 97 A5
  EXPECT_EQ(Cells(1, 5, 5) + Cells(2, 5, 5) + Cells(3, 5, 5), "µùÑ");
}

TEST(WideCharacters, ScrollingAcrossTheWindowEdgeKeepsPairsWhole) {
  StartScreen(80, 25);
  WriteText("\r\n日", 0);  // across what becomes the window's left edge
  SetWindow(2, 1, 80, 25);
  for (int line = 0; line < 25; ++line) EndLine();
  for (int row = 1; row <= 25; ++row) {
    for (int column = 1; column <= 80; ++column) {
      const int width = InspectCell(column, row).width;
      if (width == 2) {
        ASSERT_EQ(InspectCell(column + 1, row).width, 0) << column << "," << row;
      }
      if (width == 0) {
        ASSERT_EQ(InspectCell(column - 1, row).width, 2) << column << "," << row;
      }
    }
  }
}

}  // namespace
