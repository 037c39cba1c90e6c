// What the console window needs of the platform's terminal: reaching it,
// its size, and presenting the window's cells. Output is gathered and then
// handed over in a single write per piece, so that a piece never reaches
// the terminal torn into bytes.
#pragma once

#include <cstdint>
#include <string_view>

#include "console/terminal_text.h"

// The start-up colours of the terminal itself, which no attribute byte
// can name.
inline constexpr uint16_t kTerminalDefaultAttribute = 0x100;

// One cell of the screen. A cell shows either one byte (length 1, drawn as
// the glyph the console's code page gives it) or, on a terminal that shows
// UTF-8, one UTF-8 character of 2..4 bytes. A wide character takes its own
// cell (width 2) and the one right of it (width 0, length 0).
struct ScreenCell {
  char bytes[4] = {' ', 0, 0, 0};
  uint8_t length = 1;
  uint8_t width = 1;
  uint16_t attribute = kTerminalDefaultAttribute;  // background * 16 + foreground
};

// The UTF-8 that shows the cell on a UTF-8 terminal, a byte as its code
// page 437 glyph; empty for the right half of a wide character.
inline std::string_view CellGlyph(const ScreenCell& cell) {
  if (cell.length == 1) return CodePage437Utf8(static_cast<uint8_t>(cell.bytes[0]));
  return std::string_view(cell.bytes, cell.length);
}

enum : int {
  kTerminalReached = 0,
  kNoConsoleHandle = 1,     // no terminal could be opened
  kNoScreenBufferInfo = 2,  // a terminal was opened but told no size
};

// The console as the window finds it.
struct TerminalStart {
  int columns = 80;
  int rows = 25;
  int cursorColumn = 1;  // 1-based
  int cursorRow = 1;
  uint16_t attribute = kTerminalDefaultAttribute;
  // Multi-byte UTF-8 characters in a text show as one character each;
  // otherwise every byte is one cell.
  bool showsUtf8 = false;
};

// Finds the terminal, its size in columns and rows (80 by 25 where it
// reports none), its cursor and colours. Returns kTerminalReached or the
// failure.
int ReachTerminal(TerminalStart* start);

// Sends output to an already open terminal handle instead; -1 sends it
// nowhere.
void UseTerminalHandle(intptr_t handle);

// Gathers a run of cells of one screen row, starting at column (1-based).
// The cells of a run are contiguous; a run never crosses a row's end.
void DrawCellRun(int column, int row, const ScreenCell* cells, int count);

// Gathers the placing of the visible cursor.
void PlaceTerminalCursor(int column, int row);

// Hands everything gathered to the terminal in one write, leaving the
// terminal in its own colours. Failures are dropped: drawing never fails.
void FlushTerminal();
