// The window's own model, read back cell by cell without a terminal: the
// rules that the tool's screens do not show on their own.
#include <gtest/gtest.h>

#include <string>

#include "console/console_inspect.h"
#include "console/console_window.h"

namespace {

// The text of screen row `row` from `first` to `last`, as the terminal shows it.
std::string Cells(int row, int first, int last) {
  std::string text;
  for (int column = first; column <= last; ++column) text += CellGlyph(InspectCell(column, row));
  return text;
}

void ExpectCursor(int column, int row) {
  const ConsoleView view = InspectConsole();
  EXPECT_TRUE(view.cursorColumn == column && view.cursorRow == row) << view.cursorColumn << "," << view.cursorRow;
}

// A screen full of x in attribute 0x4F, the window (2, 2)-(79, 24) inside it.
void MarginWindow() {
  StartConsoleOnHandle(-1, 80, 25, true);
  SetTextAttribute(0x4F);
  WriteText(std::string(80 * 25 - 1, 'x'), 0);
  SetWindow(2, 2, 79, 24);
  SetTextAttribute(7);
}

void ExpectMarginKept() {
  for (int row = 1; row <= 25; ++row) {
    for (int column = 1; column <= 80; ++column) {
      if ((row > 1 && row < 25 && column > 1 && column < 80) || (row == 25 && column == 80)) continue;
      const ScreenCell cell = InspectCell(column, row);
      ASSERT_TRUE(cell.bytes[0] == 'x' && cell.attribute == 0x4F) << column << "," << row;
    }
  }
}

TEST(ConsoleWindow, RectanglesThatDoNotFitChangeNothing) {
  const struct {
    int columns, rows;
    uint8_t left, top, right, bottom;
  } cases[] = {{78, 25, 2, 2, 79, 24}, {80, 23, 2, 2, 79, 24}, {80, 25, 10, 2, 9, 24},
               {80, 25, 2, 10, 79, 9}, {80, 25, 0, 2, 79, 24}, {80, 25, 2, 2, 255, 24}};
  for (const auto& c : cases) {
    StartConsoleOnHandle(-1, c.columns, c.rows, true);
    WriteText("abc\r\nde", 0);
    SetWindow(c.left, c.top, c.right, c.bottom);
    const ConsoleView view = InspectConsole();
    EXPECT_TRUE(view.left == 1 && view.top == 1 && view.right == c.columns && view.bottom == c.rows) << int(c.left);
    ExpectCursor(3, 2);
  }
}

TEST(ConsoleWindow, ClearingBlanksTheWholeScreenFirstThenOnlyTheWindow) {
  StartConsoleOnHandle(-1, 80, 25, true);
  WriteText(std::string(80 * 25 - 1, 'x'), 0);
  SetTextAttribute(0x1F);
  ClearWindow();
  ExpectCursor(1, 1);
  for (int row = 1; row <= 25; ++row) {
    ASSERT_TRUE(Cells(row, 1, 80) == std::string(80, ' ') && InspectCell(80, row).attribute == 0x1F) << row;
  }
  MarginWindow();
  SetTextAttribute(0x1F);
  ClearWindow();
  ExpectMarginKept();
  EXPECT_TRUE(Cells(2, 2, 79) == std::string(78, ' ') && InspectCell(79, 24).attribute == 0x1F);
  ExpectCursor(2, 2);
}

// Backspace stops at the left edge, a lone line feed keeps the column, a
// full-width line's own line end leaves an empty row, and scrolling moves
// only the window, filling its new row in the attribute of the moment.
TEST(ConsoleWindow, LineRulesAndScrolling) {
  MarginWindow();
  for (const char* text : {"ab\b\bX", "\b\b\bY", "abc\ndef"}) {
    WriteText(text, 0);
    EndLine();
  }
  EXPECT_EQ(Cells(2, 2, 3) + Cells(3, 2, 2) + Cells(4, 2, 4) + Cells(5, 5, 7), "XbYabcdef");
  WriteText(std::string(78, 'w'), 0);
  EndLine();
  ExpectCursor(2, 8);
  for (int line = 0; line < 16; ++line) EndLine();
  WriteText(std::string(77, 'b') + "Z", 0);  // the bottom-right cell scrolls at once
  ExpectCursor(2, 24);
  EXPECT_EQ(Cells(23, 2, 79), std::string(77, 'b') + "Z");
  SetTextAttribute(31);
  EndLine();
  EXPECT_EQ(Cells(22, 2, 79), std::string(77, 'b') + "Z");
  EXPECT_TRUE(Cells(24, 2, 79) == std::string(78, ' ') && InspectCell(2, 24).attribute == 31 &&
              InspectCell(2, 23).attribute == 7);
  ExpectMarginKept();
}

TEST(ConsoleWindow, FieldWidthsCountCellsAndNeverCut) {
  const struct {
    const char* text;
    int field;
    const char* shown;
    int cells;
    bool utf8;  // the terminal shows UTF-8; otherwise every byte is a cell
  } cases[] = {{"abcdef", 2, "abcdef", 6, true}, {"abc", -3, "abc", 3, true},
               {"日本", 6, "  日本", 6, true},   {"\xff", 3, "  \u00A0", 3, true},
               {"日本", 7, " µùÑµ£¼", 7, false}, {"\xb3", 2, " │", 2, false}};
  for (const auto& c : cases) {
    StartConsoleOnHandle(-1, 80, 25, c.utf8);
    WriteText(c.text, c.field);
    EXPECT_EQ(Cells(1, 1, c.cells), c.shown) << c.text;
    ExpectCursor(c.cells + 1, 1);
  }
  // A wide character that exactly fills the row wraps at once; in a
  // window one column wide each of its bytes is a cell.
  StartConsoleOnHandle(-1, 80, 25, true);
  SetWindow(2, 2, 79, 24);
  WriteText(std::string(76, 'a') + "日", 0);
  ExpectCursor(2, 3);
  EXPECT_TRUE(InspectCell(78, 2).width == 2 && InspectCell(79, 2).width == 0);
  SetWindow(5, 1, 5, 25);
  WriteText("日", 0);
  EXPECT_EQ(Cells(1, 5, 5) + Cells(2, 5, 5) + Cells(3, 5, 5), "µùÑ");
}

}  // namespace
