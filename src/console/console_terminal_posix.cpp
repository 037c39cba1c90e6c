// The console on a terminal that follows ECMA-48 (xterm, VTE, tmux, the
// Linux console). Every run of cells is placed with an explicit cursor
// move, so nothing depends on the terminal's own wrapping or scrolling,
// and nothing is ever asked of the terminal, so a run never waits on one.
#include <errno.h>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <string>

#include "console/console_terminal.h"
#include "runtime/interrupted_posix.h"
#include "runtime/write_all.h"

namespace {

int terminalHandle = -1;
std::string gathered;
// What the terminal's colours are at the end of what is gathered. Each
// piece starts from "not known", so that colours left behind by anyone
// else never leak into a cell.
constexpr uint16_t kColoursNotKnown = 0xFFFF;
uint16_t gatheredAttribute = kColoursNotKnown;

void AppendNumber(int number) {
  char digits[12];
  int count = 0;
  do {
    digits[count++] = static_cast<char>('0' + number % 10);
    number /= 10;
  } while (number > 0);
  while (count > 0) gathered.push_back(digits[--count]);
}

void AppendCursorMove(int column, int row) {
  gathered += "\x1b[";
  AppendNumber(row);
  gathered.push_back(';');
  AppendNumber(column);
  gathered.push_back('H');
}

// The window numbers its colours as a PC text screen does (bit 0 blue,
// bit 2 red); a terminal numbers them the other way round (bit 0 red,
// bit 2 blue). Intensity picks the terminal's bright colours.
int TerminalColour(int colour) { return (colour & 0b1010) | ((colour & 1) << 2) | ((colour >> 2) & 1); }
int ForegroundCode(int colour) {
  const int shown = TerminalColour(colour);
  return shown < 8 ? 30 + shown : 90 + shown - 8;
}
int BackgroundCode(int colour) {
  const int shown = TerminalColour(colour);
  return shown < 8 ? 40 + shown : 100 + shown - 8;
}

void AppendColours(uint16_t attribute) {
  if (attribute == gatheredAttribute) return;
  gatheredAttribute = attribute;
  if (attribute == kTerminalDefaultAttribute) {
    gathered += "\x1b[0m";
    return;
  }
  gathered += "\x1b[0;";
  AppendNumber(ForegroundCode(attribute & 0x0F));
  gathered.push_back(';');
  AppendNumber(BackgroundCode((attribute >> 4) & 0x0F));
  gathered.push_back('m');
}

bool QuerySize(int handle, int* columns, int* rows) {
  winsize size{};
  if (RepeatInterrupted([&] { return ioctl(handle, TIOCGWINSZ, &size); }) != 0) return false;
  *columns = size.ws_col != 0 ? size.ws_col : 80;
  *rows = size.ws_row != 0 ? size.ws_row : 25;
  return true;
}

}  // namespace

int ReachTerminal(TerminalStart* start) {
  // The cursor is not asked for: a run never waits on a terminal's answer,
  // and the first clear puts the cursor in the top-left corner anyway.
  *start = TerminalStart();
  start->showsUtf8 = true;
  int* columns = &start->columns;
  int* rows = &start->rows;
  if (isatty(STDOUT_FILENO) && QuerySize(STDOUT_FILENO, columns, rows)) {
    UseTerminalHandle(STDOUT_FILENO);
    return kTerminalReached;
  }
  // Standard output is redirected: the controlling terminal stands in for
  // the console device.
  const int handle = RepeatInterrupted([] { return open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC); });
  if (handle < 0) return kNoConsoleHandle;
  if (!QuerySize(handle, columns, rows)) {
    close(handle);
    return kNoScreenBufferInfo;
  }
  UseTerminalHandle(handle);
  return kTerminalReached;
}

void UseTerminalHandle(intptr_t handle) {
  terminalHandle = static_cast<int>(handle);
  gathered.clear();
  gathered.reserve(16384);
  gatheredAttribute = kColoursNotKnown;
}

void DrawCellRun(int column, int row, const ScreenCell* cells, int count) {
  AppendCursorMove(column, row);
  for (int i = 0; i < count; ++i) {
    if (cells[i].width == 0) continue;  // the wide character before it covers it
    AppendColours(cells[i].attribute);
    gathered += CellGlyph(cells[i]);
  }
}

void PlaceTerminalCursor(int column, int row) {
  // Other output, the report above all, must show in the terminal's own
  // colours, so a piece never ends with colours of the window set.
  AppendColours(kTerminalDefaultAttribute);
  AppendCursorMove(column, row);
}

void FlushTerminal() {
  if (terminalHandle >= 0 && !gathered.empty()) {
    WriteAll(terminalHandle, gathered.data(), gathered.size());
  }
  gathered.clear();
  gatheredAttribute = kColoursNotKnown;
}
