#include "harness/screen_capture.h"

#include <cstdint>
#include <utility>

namespace harness {
namespace {

// libvterm marks the right half of a wide character with this value.
const uint32_t kWideContinuation = 0xFFFFFFFF;

void AppendUtf8(uint32_t code, std::string* text) {
  if (code < 0x80) {
    text->push_back(static_cast<char>(code));
  } else if (code < 0x800) {
    text->push_back(static_cast<char>(0xC0 | (code >> 6)));
    text->push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else if (code < 0x10000) {
    text->push_back(static_cast<char>(0xE0 | (code >> 12)));
    text->push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    text->push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else {
    text->push_back(static_cast<char>(0xF0 | (code >> 18)));
    text->push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
    text->push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    text->push_back(static_cast<char>(0x80 | (code & 0x3F)));
  }
}

bool IsContinuation(const VTermScreenCell& cell) {
  return cell.chars[0] == kWideContinuation;
}

std::string CellText(const VTermScreenCell& cell) {
  std::string text;
  if (IsContinuation(cell)) return text;
  for (int i = 0; i < VTERM_MAX_CHARS_PER_CELL && cell.chars[i] != 0; ++i) {
    AppendUtf8(cell.chars[i], &text);
  }
  return text;
}

// Tests speak in the 16 colours the program chose, so a colour that libvterm
// holds as RGB is matched back against the palette it was drawn from.
int PaletteIndex(const VTermState* state, VTermColor colour, bool foreground) {
  if (foreground ? VTERM_COLOR_IS_DEFAULT_FG(&colour)
                 : VTERM_COLOR_IS_DEFAULT_BG(&colour)) {
    return -1;
  }
  if (VTERM_COLOR_IS_INDEXED(&colour)) return colour.indexed.idx;
  for (int index = 0; index < 16; ++index) {
    VTermColor entry;
    vterm_state_get_palette_color(state, index, &entry);
    vterm_state_convert_color_to_rgb(state, &entry);
    if (entry.rgb.red == colour.rgb.red && entry.rgb.green == colour.rgb.green &&
        entry.rgb.blue == colour.rgb.blue) {
      return index;
    }
  }
  return -2;
}

void StripTrailingBlanks(std::string* row) {
  row->erase(row->find_last_not_of(' ') + 1);
}

// Called for every row that scrolls off, so it builds the text in place:
// a report of many thousand lines must not cost a string per cell.
int PushLine(int columns, const VTermScreenCell* cells, void* user) {
  ScreenCapture* capture = static_cast<ScreenCapture*>(user);
  std::string row;
  for (int column = 0; column < columns; ++column) {
    const VTermScreenCell& cell = cells[column];
    if (IsContinuation(cell)) continue;
    if (cell.chars[0] == 0) {
      row.push_back(' ');
      continue;
    }
    for (int i = 0; i < VTERM_MAX_CHARS_PER_CELL && cell.chars[i] != 0; ++i) {
      AppendUtf8(cell.chars[i], &row);
    }
  }
  StripTrailingBlanks(&row);
  capture->scrolledOff.push_back(std::move(row));
  return 1;
}

void CollectReply(const char* bytes, size_t count, void* user) {
  static_cast<ScreenCapture*>(user)->replies.append(bytes, count);
}

}  // namespace

void OpenScreen(ScreenCapture* capture, int columns, int rows) {
  capture->terminal = vterm_new(rows, columns);
  vterm_set_utf8(capture->terminal, 1);
  vterm_output_set_callback(capture->terminal, CollectReply, capture);
  capture->screen = vterm_obtain_screen(capture->terminal);
  capture->state = vterm_obtain_state(capture->terminal);
  capture->callbacks.sb_pushline = PushLine;
  vterm_screen_set_callbacks(capture->screen, &capture->callbacks, capture);
  vterm_screen_enable_altscreen(capture->screen, 0);
  vterm_screen_reset(capture->screen, 1);
  // Bold must not brighten a colour behind the test's back: the bright
  // colours are only those the program asked for (SGR 90-97, 100-107).
  vterm_state_set_bold_highbright(capture->state, 0);
}

void FeedScreen(ScreenCapture* capture, const char* bytes, size_t count) {
  vterm_input_write(capture->terminal, bytes, count);
}

void ReadScreen(const ScreenCapture& capture, RunResult* result) {
  int rows = 0;
  int columns = 0;
  vterm_get_size(capture.terminal, &rows, &columns);
  result->rows = rows;
  result->columns = columns;
  result->screen.assign(rows, std::vector<Cell>(columns));
  for (int row = 0; row < rows; ++row) {
    for (int column = 0; column < columns; ++column) {
      VTermScreenCell cell;
      vterm_screen_get_cell(capture.screen, VTermPos{row, column}, &cell);
      Cell& out = result->screen[row][column];
      out.text = CellText(cell);
      out.width = IsContinuation(cell) ? 0 : cell.width;
      out.foreground = PaletteIndex(capture.state, cell.fg, true);
      out.background = PaletteIndex(capture.state, cell.bg, false);
      out.bold = cell.attrs.bold;
      out.reverse = cell.attrs.reverse;
    }
  }
  VTermPos cursor;
  vterm_state_get_cursorpos(capture.state, &cursor);
  result->cursorRow = cursor.row;
  result->cursorColumn = cursor.col;
  result->scrolledOff = capture.scrolledOff;
}

void CloseScreen(ScreenCapture* capture) {
  if (capture->terminal) vterm_free(capture->terminal);
  capture->terminal = nullptr;
  capture->screen = nullptr;
  capture->state = nullptr;
}

std::string RunResult::RowText(int row) const {
  if (row < 0 || row >= static_cast<int>(screen.size())) return std::string();
  std::string text;
  for (const Cell& cell : screen[row]) {
    if (cell.width == 0) continue;
    if (cell.text.empty()) {
      text.push_back(' ');
    } else {
      text += cell.text;
    }
  }
  StripTrailingBlanks(&text);
  return text;
}

std::string RunResult::ScreenText() const {
  std::vector<std::string> lines;
  for (int row = 0; row < static_cast<int>(screen.size()); ++row) {
    lines.push_back(RowText(row));
  }
  while (!lines.empty() && lines.back().empty()) lines.pop_back();
  std::string text;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) text += '\n';
    text += lines[i];
  }
  return text;
}

}  // namespace harness
