// The window's own model, read back cell by cell without a terminal: the
// rules that the screens on a terminal cannot show on their own.
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
  EXPECT_TRUE(view.cursorColumn == column && view.cursorRow == row)
      << view.cursorColumn << "," << view.cursorRow;
}

TEST(SetWindow, RectanglesThatDoNotFitChangeNothing) {
  const struct {
    int columns, rows;
    uint8_t left, top, right, bottom;
  } cases[] = {{78, 25, 2, 2, 79, 24}, {80, 23, 2, 2, 79, 24}, {80, 25, 10, 2, 9, 24},
               {80, 25, 2, 10, 79, 9}, {80, 25, 0, 2, 79, 24}, {80, 25, 2, 2, 255, 24}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << int(c.left) << "," << int(c.top) << "," << int(c.right) << ","
                                    << int(c.bottom) << " on " << c.columns << "x" << c.rows);
    StartConsoleOnHandle(-1, c.columns, c.rows, true);
    WriteText("abc\r\nde", 0);
    SetWindow(c.left, c.top, c.right, c.bottom);
    const ConsoleView view = InspectConsole();
    EXPECT_TRUE(view.left == 1 && view.top == 1 && view.right == c.columns && view.bottom == c.rows);
    ExpectCursor(3, 2);
  }
}

TEST(ClearWindow, BeforeSetWindowBlanksTheWholeScreenInTheCurrentAttribute) {
  StartConsoleOnHandle(-1, 80, 25, true);
  WriteText(std::string(80 * 25 - 1, 'x'), 0);
  SetTextAttribute(0x1F);
  ClearWindow();
  ExpectCursor(1, 1);
  for (int row = 1; row <= 25; ++row) {
    ASSERT_TRUE(Cells(row, 1, 80) == std::string(80, ' ') && InspectCell(80, row).attribute == 0x1F) << row;
  }
}

TEST(Scrolling, TheBottomRightCellScrollsAtOnce) {
  StartConsoleOnHandle(-1, 80, 25, true);
  SetWindow(2, 2, 79, 24);
  for (int line = 0; line < 22; ++line) EndLine();
  WriteText(std::string(77, 'b') + "Z", 0);
  // No byte follows the Z, yet the window has already scrolled.
  ExpectCursor(2, 24);
  EXPECT_EQ(Cells(23, 2, 79), std::string(77, 'b') + "Z");
  EXPECT_EQ(Cells(24, 2, 79), std::string(78, ' '));
}

TEST(WriteText, FieldWidthsCountCellsAndNeverCut) {
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
}

// Overwritten and scrolled wide characters are left to the comparison of
// the model with a terminal, which shows any pair broken up.
TEST(WideCharacters, ExactlyFillingARowOrInAOneColumnWindow) {
  StartConsoleOnHandle(-1, 80, 25, true);
  SetWindow(2, 2, 79, 24);
  WriteText(std::string(76, 'a') + "日", 0);  // exactly fills the row: wraps at once
  ExpectCursor(2, 3);
  EXPECT_TRUE(InspectCell(78, 2).width == 2 && InspectCell(79, 2).width == 0);
  SetWindow(5, 1, 5, 25);
  WriteText("日", 0);  // E6 97 A5, one byte a cell
  EXPECT_EQ(Cells(1, 5, 5) + Cells(2, 5, 5) + Cells(3, 5, 5), "µùÑ");
}

}  // namespace
