// The window's model, read back cell by cell: rules the tool's screens do not show.
#include <gtest/gtest.h>
#include <string>
#include "console/console_inspect.h"
#include "console/console_window.h"

namespace {

std::string Cells(int row, int first, int last) {
  std::string text;
  for (int column = first; column <= last; ++column) text += CellGlyph(InspectCell(column, row));
  return text;
}

std::pair<int, int> Cursor() { return {InspectConsole().cursorColumn, InspectConsole().cursorRow}; }

// A screen full of x in attribute 0x4F, then the window (2, 2)-(79, 24): backspace stops at its left edge, a lone
// line feed keeps the column, a full-width line's own line end leaves an empty row, the bottom-right cell scrolls at
// once, scrolling and clearing move only the window, filling in the attribute of the moment.
TEST(ConsoleWindow, LineRulesScrollingAndClearingInsideTheMargin) {
  StartConsoleOnHandle(-1, 80, 25, true);
  SetTextAttribute(0x4F);
  WriteText(std::string(80 * 25 - 1, 'x'), 0);
  SetTextAttribute(0x1F);
  ClearWindow();  // the whole screen, before any window is set
  EXPECT_TRUE(Cursor() == std::pair(1, 1) && Cells(25, 1, 79) == std::string(79, ' ') && InspectCell(5, 25).attribute == 0x1F);
  SetTextAttribute(0x4F);
  WriteText(std::string(80 * 25 - 1, 'x'), 0);
  SetWindow(2, 2, 79, 24);
  SetTextAttribute(7);
  const std::string wide(78, 'w');
  for (const char* text : {"ab\b\bX", "\b\b\bY", "abc\ndef", wide.c_str()}) {
    WriteText(text, 0);
    EndLine();
  }
  EXPECT_EQ(Cells(2, 2, 3) + Cells(3, 2, 2) + Cells(4, 2, 4) + Cells(5, 5, 7), "XbYabcdef");
  EXPECT_TRUE(Cursor() == std::pair(2, 8) && Cells(7, 2, 79) == std::string(78, 'x'));
  for (int line = 0; line < 16; ++line) EndLine();
  WriteText(std::string(77, 'b') + "Z", 0);
  EXPECT_TRUE(Cursor() == std::pair(2, 24) && Cells(23, 2, 79) == std::string(77, 'b') + "Z" && Cells(24, 2, 79) == std::string(78, ' '));
  SetTextAttribute(31);
  EndLine();
  EXPECT_TRUE(Cells(22, 2, 79) == std::string(77, 'b') + "Z" && InspectCell(2, 24).attribute == 31 && InspectCell(79, 23).attribute == 7);
  SetTextAttribute(0x2E);
  ClearWindow();
  EXPECT_TRUE(Cursor() == std::pair(2, 2) && Cells(2, 2, 79) == std::string(78, ' ') && InspectCell(79, 24).attribute == 0x2E);
  for (int row = 1; row <= 25; ++row) {
    for (int column = 1; column <= 80; ++column) {
      const bool margin = row == 1 || row == 25 || column == 1 || column == 80;
      ASSERT_TRUE(!margin || (row == 25 && column == 80) || (InspectCell(column, row).bytes[0] == 'x' && InspectCell(column, row).attribute == 0x4F))
          << "margin cell " << column << "," << row;
    }
  }
}

}  // namespace
