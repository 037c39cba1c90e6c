// The console on the Windows console: the window's cells are written
// straight into the console's screen buffer, which keeps them until the
// next write; nothing goes through the console's own text output, so no
// byte is ever taken as a control.
#include <windows.h>

#include <string>
#include <vector>

#include "console/console_terminal.h"

namespace {

HANDLE consoleHandle = INVALID_HANDLE_VALUE;
bool cursorMoved = false;
COORD cursor = {0, 0};
std::vector<CHAR_INFO> runCells;

// The character each byte shows. The console draws control bytes as the
// pictures of code page 437, as the console fonts do; every other byte is
// the console's code page's own character for it.
WCHAR glyphs[256];

// The code point of the one UTF-8 character in text (at most three bytes:
// every glyph of code page 437 lies in the first plane).
WCHAR DecodeGlyph(std::string_view text) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
  if (text.size() == 1) return byte(0);
  if (text.size() == 2) return static_cast<WCHAR>(((byte(0) & 0x1F) << 6) | (byte(1) & 0x3F));
  return static_cast<WCHAR>(((byte(0) & 0x0F) << 12) | ((byte(1) & 0x3F) << 6) | (byte(2) & 0x3F));
}

void BuildGlyphs() {
  const UINT codePage = GetConsoleOutputCP();
  for (int value = 0; value < 256; ++value) {
    const auto byte = static_cast<uint8_t>(value);
    WCHAR shown = 0;
    if (byte >= 0x80) {
      const char single = static_cast<char>(byte);
      // A code page in which the byte is no character of its own (UTF-8)
      // keeps the code page 437 picture.
      if (MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, &single, 1, &shown, 1) != 1) shown = 0;
    }
    glyphs[value] = shown != 0 ? shown : DecodeGlyph(CodePage437Utf8(byte));
  }
}

bool QueryScreen(HANDLE handle, TerminalStart* start) {
  CONSOLE_SCREEN_BUFFER_INFO info;
  if (!GetConsoleScreenBufferInfo(handle, &info)) return false;
  start->columns = info.dwSize.X;
  start->rows = info.dwSize.Y;
  start->cursorColumn = info.dwCursorPosition.X + 1;
  start->cursorRow = info.dwCursorPosition.Y + 1;
  start->attribute = static_cast<uint16_t>(info.wAttributes & 0xFF);
  start->showsUtf8 = false;
  return true;
}

}  // namespace

int ReachTerminal(TerminalStart* start) {
  *start = TerminalStart();
  const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
  if (output != INVALID_HANDLE_VALUE && output != nullptr && QueryScreen(output, start)) {
    UseTerminalHandle(reinterpret_cast<intptr_t>(output));
    return kTerminalReached;
  }
  // Standard output is redirected: the console's screen is reached by its
  // device name.
  const HANDLE console = CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                     nullptr, OPEN_EXISTING, 0, nullptr);
  if (console == INVALID_HANDLE_VALUE) return kNoConsoleHandle;
  if (!QueryScreen(console, start)) {
    CloseHandle(console);
    return kNoScreenBufferInfo;
  }
  UseTerminalHandle(reinterpret_cast<intptr_t>(console));
  return kTerminalReached;
}

void UseTerminalHandle(intptr_t handle) {
  consoleHandle = reinterpret_cast<HANDLE>(handle);
  cursorMoved = false;
  BuildGlyphs();
}

void DrawCellRun(int column, int row, const ScreenCell* cells, int count) {
  if (consoleHandle == INVALID_HANDLE_VALUE || count <= 0) return;
  runCells.resize(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    runCells[i].Char.UnicodeChar = glyphs[static_cast<uint8_t>(cells[i].bytes[0])];
    runCells[i].Attributes = static_cast<WORD>(cells[i].attribute & 0xFF);
  }
  const COORD size = {static_cast<SHORT>(count), 1};
  const COORD origin = {0, 0};
  SMALL_RECT area = {static_cast<SHORT>(column - 1), static_cast<SHORT>(row - 1),
                     static_cast<SHORT>(column - 1 + count - 1), static_cast<SHORT>(row - 1)};
  WriteConsoleOutputW(consoleHandle, runCells.data(), size, origin, &area);
}

void PlaceTerminalCursor(int column, int row) {
  cursor = {static_cast<SHORT>(column - 1), static_cast<SHORT>(row - 1)};
  cursorMoved = true;
}

void FlushTerminal() {
  if (consoleHandle != INVALID_HANDLE_VALUE && cursorMoved) SetConsoleCursorPosition(consoleHandle, cursor);
  cursorMoved = false;
}
