// Read access to the console window's own model of the screen, and a way
// to start it on a terminal of a given size: for tests and diagnostics.
#pragma once

#include <cstdint>

#include "console/console_terminal.h"

struct ConsoleView {
  int screenWidth;
  int screenHeight;
  int left;  // the window, screen coordinates, inclusive
  int top;
  int right;
  int bottom;
  int cursorColumn;
  int cursorRow;
  uint16_t textAttribute;
};

ConsoleView InspectConsole();

// The cell at a 1-based screen column and row.
ScreenCell InspectCell(int column, int row);

// Starts the window on a screen of columns by rows whose output goes to an
// open terminal handle (-1: nowhere), without reaching the real console.
// showsUtf8 as the terminal would report it.
void StartConsoleOnHandle(intptr_t handle, int columns, int rows, bool showsUtf8);
