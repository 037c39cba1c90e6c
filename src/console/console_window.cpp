// The console window's model of the screen and its character rules. The
// model is the truth: the terminal is only ever told what changed in it,
// never asked what it shows.
#include "console/console_window.h"

#include <algorithm>
#include <vector>

#include "console/console_inspect.h"
#include "console/console_terminal.h"
#include "console/terminal_text.h"
#include "runtime/run_time.h"

namespace {

// A terminal reporting a larger size is modelled only up to this, so that
// a bogus size cannot ask for gigabytes of cells.
constexpr int kLargestScreenSide = 1000;

struct DirtyColumns {
  int first;  // first > last when the row has nothing to redraw
  int last;
};

struct ConsoleState {
  int screenWidth = 0;
  int screenHeight = 0;
  int left = 1;
  int top = 1;
  int right = 1;
  int bottom = 1;
  int cursorColumn = 1;
  int cursorRow = 1;
  uint16_t textAttribute = kTerminalDefaultAttribute;
  bool showsUtf8 = false;
  std::vector<ScreenCell> cells;    // row by row
  std::vector<DirtyColumns> dirty;  // one per row
};

ConsoleState console;

ScreenCell& CellAt(int column, int row) {
  return console.cells[static_cast<size_t>(row - 1) * console.screenWidth + (column - 1)];
}

void MarkDirty(int column, int row) {
  DirtyColumns& range = console.dirty[row - 1];
  range.first = std::min(range.first, column);
  range.last = std::max(range.last, column);
}

ScreenCell Blank(uint16_t attribute) {
  ScreenCell cell;
  cell.attribute = attribute;
  return cell;
}

// A wide character and its right half live and die together: whichever
// half is overwritten, the other becomes a blank, as a terminal does it.
void DetachCell(int column, int row) {
  ScreenCell& cell = CellAt(column, row);
  if (cell.width == 2 && column < console.screenWidth) {
    ScreenCell& partner = CellAt(column + 1, row);
    partner = Blank(partner.attribute);
    MarkDirty(column + 1, row);
  } else if (cell.width == 0 && column > 1) {
    ScreenCell& partner = CellAt(column - 1, row);
    partner = Blank(partner.attribute);
    MarkDirty(column - 1, row);
  }
}

// After columns of a row were moved or filled wholesale, a wide character
// may have lost its other half at the edges: such halves become blanks.
void RepairWideCharacters(int row, int first, int last) {
  first = std::max(first, 1);
  last = std::min(last, console.screenWidth);
  for (int column = first; column <= last; ++column) {
    ScreenCell& cell = CellAt(column, row);
    bool broken = false;
    if (cell.width == 2) {
      broken = column == console.screenWidth || CellAt(column + 1, row).width != 0;
    } else if (cell.width == 0) {
      broken = column == 1 || CellAt(column - 1, row).width != 2;
    }
    if (broken) {
      cell = Blank(cell.attribute);
      MarkDirty(column, row);
    }
  }
}

void FillWindowRow(int row, uint16_t attribute) {
  for (int column = console.left; column <= console.right; ++column) {
    CellAt(column, row) = Blank(attribute);
  }
  RepairWideCharacters(row, console.left - 1, console.right + 1);
  MarkDirty(console.left, row);
  MarkDirty(console.right, row);
}

void ScrollWindowUp() {
  for (int row = console.top; row < console.bottom; ++row) {
    for (int column = console.left; column <= console.right; ++column) {
      CellAt(column, row) = CellAt(column, row + 1);
    }
  }
  for (int row = console.top; row < console.bottom; ++row) {
    RepairWideCharacters(row, console.left - 1, console.right + 1);
    MarkDirty(console.left, row);
    MarkDirty(console.right, row);
  }
  FillWindowRow(console.bottom, console.textAttribute);
}

// Wrapping and scrolling, applied after every character whatever it was.
void KeepCursorInWindow() {
  if (console.cursorColumn > console.right) {
    console.cursorColumn = console.left;
    ++console.cursorRow;
  }
  while (console.cursorRow > console.bottom) {
    ScrollWindowUp();
    --console.cursorRow;
  }
}

void DrawCell(const char* bytes, int length, int width) {
  const int column = console.cursorColumn;
  const int row = console.cursorRow;
  DetachCell(column, row);
  if (width == 2) DetachCell(column + 1, row);
  ScreenCell& cell = CellAt(column, row);
  std::copy(bytes, bytes + length, cell.bytes);
  cell.length = static_cast<uint8_t>(length);
  cell.width = static_cast<uint8_t>(width);
  cell.attribute = console.textAttribute;
  MarkDirty(column, row);
  if (width == 2) {
    ScreenCell& half = CellAt(column + 1, row);
    half = Blank(console.textAttribute);
    half.length = 0;
    half.width = 0;
    MarkDirty(column + 1, row);
  }
  console.cursorColumn += width;
}

void ApplyByte(uint8_t byte) {
  switch (byte) {
    case 7:
      break;
    case 8:
      if (console.cursorColumn > console.left) --console.cursorColumn;
      break;
    case 10:
      ++console.cursorRow;
      break;
    case 13:
      console.cursorColumn = console.left;
      break;
    default: {
      const char single = static_cast<char>(byte);
      DrawCell(&single, 1, 1);
      break;
    }
  }
  KeepCursorInWindow();
}

// A wide character that would stick out past the window's right column
// starts the next row instead; the cell it skipped is left blank.
void ApplyCharacter(std::string_view bytes, int width) {
  if (width == 2 && console.cursorColumn == console.right) {
    const char blank = ' ';
    DrawCell(&blank, 1, 1);
    KeepCursorInWindow();
  }
  DrawCell(bytes.data(), static_cast<int>(bytes.size()), width);
  KeepCursorInWindow();
}

// The length of a text as it is shown: a UTF-8 character counts its cells,
// every other byte one.
int ShownLength(std::string_view text) {
  if (!console.showsUtf8) return static_cast<int>(text.size());
  int cells = 0;
  TerminalText(text, &cells);
  return cells;
}

void ApplyText(std::string_view text) {
  if (!console.showsUtf8) {
    for (char byte : text) ApplyByte(static_cast<uint8_t>(byte));
    return;
  }
  size_t at = 0;
  while (at < text.size()) {
    int cells = 1;
    const int bytes = ValidUtf8CharacterLength(text, at, &cells);
    // A window one column wide cannot hold a wide character at all: its
    // bytes are shown one by one instead.
    if (bytes > 0 && (cells == 1 || console.right > console.left)) {
      ApplyCharacter(text.substr(at, bytes), cells);
      at += bytes;
    } else {
      ApplyByte(static_cast<uint8_t>(text[at]));
      ++at;
    }
  }
}

// Hands what changed, and the cursor, to the terminal as one piece.
void Present() {
  for (int row = 1; row <= console.screenHeight; ++row) {
    DirtyColumns& range = console.dirty[row - 1];
    if (range.first > range.last) continue;
    int first = range.first;
    int last = range.last;
    if (CellAt(first, row).width == 0 && first > 1) --first;
    if (CellAt(last, row).width == 2 && last < console.screenWidth) ++last;
    DrawCellRun(first, row, &CellAt(first, row), last - first + 1);
    range = DirtyColumns{console.screenWidth + 1, 0};
  }
  PlaceTerminalCursor(console.cursorColumn, console.cursorRow);
  FlushTerminal();
}

void SetUpModel(const TerminalStart& start) {
  console.screenWidth = std::clamp(start.columns, 1, kLargestScreenSide);
  console.screenHeight = std::clamp(start.rows, 1, kLargestScreenSide);
  // What the screen shows before the first clear is not known; the model
  // starts blank in the console's colours, and the clear makes it true.
  console.cells.assign(static_cast<size_t>(console.screenWidth) * console.screenHeight, Blank(start.attribute));
  console.dirty.assign(console.screenHeight, DirtyColumns{console.screenWidth + 1, 0});
  console.left = 1;
  console.top = 1;
  console.right = console.screenWidth;
  console.bottom = console.screenHeight;
  console.cursorColumn = std::clamp(start.cursorColumn, 1, console.screenWidth);
  console.cursorRow = std::clamp(start.cursorRow, 1, console.screenHeight);
  console.textAttribute = start.attribute;
  console.showsUtf8 = start.showsUtf8;
}

}  // namespace

void StartConsole() {
  TerminalStart start;
  const int reached = ReachTerminal(&start);
  if (reached != kTerminalReached) {
    const std::string_view message = reached == kNoConsoleHandle ? "No way to get the console handle\r\n"
                                                                 : "No way to get console screen buffer info\r\n";
    WriteMessage(StandardStream::kError, message);
    EndProgram(1);
  }
  SetUpModel(start);
}

void StartConsoleOnHandle(intptr_t handle, int columns, int rows, bool showsUtf8) {
  UseTerminalHandle(handle);
  TerminalStart start;
  start.columns = columns;
  start.rows = rows;
  start.showsUtf8 = showsUtf8;
  SetUpModel(start);
}

void ClearWindow() {
  for (int row = console.top; row <= console.bottom; ++row) {
    FillWindowRow(row, console.textAttribute);
  }
  console.cursorColumn = console.left;
  console.cursorRow = console.top;
  Present();
}

void SetWindow(uint8_t left, uint8_t top, uint8_t right, uint8_t bottom) {
  // A left or top of 0 would put the window off the screen; it is refused
  // like every other rectangle that does not fit.
  if (left < 1 || top < 1 || right < left || right > console.screenWidth || bottom < top ||
      bottom > console.screenHeight) {
    return;
  }
  console.left = left;
  console.top = top;
  console.right = right;
  console.bottom = bottom;
  console.cursorColumn = left;
  console.cursorRow = top;
  Present();
}

void SetTextAttribute(uint8_t attribute) { console.textAttribute = attribute; }

void WriteText(std::string_view text, int fieldWidth) {
  for (int blanks = fieldWidth - ShownLength(text); blanks > 0; --blanks) {
    ApplyByte(' ');
  }
  ApplyText(text);
  Present();
}

void EndLine() {
  ApplyByte(13);
  ApplyByte(10);
  Present();
}

ConsoleView InspectConsole() {
  return ConsoleView{console.screenWidth, console.screenHeight, console.left,      console.top,          console.right,
                     console.bottom,      console.cursorColumn, console.cursorRow, console.textAttribute};
}

ScreenCell InspectCell(int column, int row) { return CellAt(column, row); }
