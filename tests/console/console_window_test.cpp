// The window's model, read back cell by cell: rules the tool's screens do not show.
#include "console/console_window.h"

#include <gtest/gtest.h>

#include "console/console_inspect.h"

namespace {

std::string Cells(int row, int first, int last) {
  std::string text;
  for (int column = first; column <= last; ++column) text += CellGlyph(InspectCell(column, row));
  return text;
}

bool CursorAt(int column, int row) {
  return InspectConsole().cursorColumn == column && InspectConsole().cursorRow == row;
}

// A screen full of letters in attribute 0x4F, a row unlike the next, then the window (2, 2)-(79, 24): backspace stops
// at its left edge, a lone line feed keeps the column, the bottom-right cell scrolls at once, scrolling and clearing
// move only the window, filling in the attribute of the moment.
TEST(ConsoleWindow, LineRulesScrollingAndClearingInsideTheMargin) {
  StartConsoleOnHandle(-1, 80, 25, true);
  SetTextAttribute(0x1F);
  WriteText("x", 0);
  ClearWindow();  // the whole screen, before any window is set
  EXPECT_TRUE(CursorAt(1, 1) && Cells(1, 1, 1) == " " && InspectCell(80, 25).attribute == 0x1F);
  SetTextAttribute(0x4F);
  std::string letters;
  for (int at = 0; at < 80 * 25 - 1; ++at) letters += "abcdefg"[at % 7];
  WriteText(letters, 0);
  SetWindow(2, 2, 79, 24);
  SetTextAttribute(7);
  WriteText("ab\b\bX\b\b\bY\ncd", 0);
  EXPECT_EQ(Cells(2, 2, 3) + Cells(3, 2, 4), "Ybacd");
  for (int line = 0; line < 21; ++line) EndLine();
  WriteText(std::string(77, 'b') + "Z", 0);
  EXPECT_TRUE(CursorAt(2, 24) && Cells(23, 2, 79) == std::string(77, 'b') + "Z");
  SetTextAttribute(31);
  EndLine();
  EXPECT_TRUE(Cells(22, 79, 79) == "Z" && InspectCell(2, 24).attribute == 31 && InspectCell(79, 23).attribute == 7);
  SetTextAttribute(0x2E);
  ClearWindow();
  EXPECT_TRUE(CursorAt(2, 2) && Cells(2, 2, 79) == std::string(78, ' ') && InspectCell(79, 24).attribute == 0x2E);
  for (int row = 1; row <= 25; ++row) {
    for (int column = 1; column <= 80; ++column) {
      const bool margin = (row == 1 || row == 25 || column == 1 || column == 80) && !(row == 25 && column == 80);
      const ScreenCell cell = InspectCell(column, row);
      ASSERT_TRUE(!margin || (cell.bytes[0] == letters[(row - 1) * 80 + column - 1] && cell.attribute == 0x4F))
          << "margin " << column << "," << row;
    }
  }
}

// A wide character across the window's edge loses the half that clearing the window blanks: the other half, outside
// the window, shows a blank too. One wholly outside stays, even in the screen's first or last column.
TEST(ConsoleWindow, AWideCharacterAcrossTheEdgeBreaksWhole) {
  StartConsoleOnHandle(-1, 80, 25, true);
  ClearWindow();
  const std::string wide = "\u65E5";
  // Columns 1-2 of row 1; 2-3 and 79-80 of row 2; 78-79 of row 3.
  WriteText(wide + std::string(79, 'a') + wide + std::string(75, 'a') + wide + std::string(77, 'a') + wide, 0);
  SetWindow(3, 1, 78, 25);
  ClearWindow();
  EXPECT_EQ(Cells(1, 1, 2) + "|" + Cells(2, 2, 2) + "|" + Cells(2, 79, 80) + "|" + Cells(3, 79, 79),
            wide + "| |" + wide + "| ");
}

// A character written over one half of a wide one blanks the other half, and no cell beyond those it covers.
TEST(ConsoleWindow, OverwritingHalfAWideCharacterBlanksTheOtherHalf) {
  StartConsoleOnHandle(-1, 80, 25, true);
  ClearWindow();
  const std::string wide = "\u65E5";
  WriteText("a" + wide + "b\b\b\b\b" + wide, 0);  // a wide one over "a" and the left half of the first
  EndLine();
  WriteText(wide + wide + "\b\b\by", 0);  // "y" over the right half of the first of two
  EXPECT_EQ(Cells(1, 1, 4) + "|" + Cells(2, 1, 4), wide + " b|" + " y" + wide);
  EXPECT_TRUE(InspectCell(3, 1).width == 1 && InspectCell(1, 2).width == 1 && InspectCell(3, 2).width == 2);
}

}  // namespace
