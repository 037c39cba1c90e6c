#include "harness/screen_capture.h"

#include <cstdint>

#include <unistd.h>

namespace harness {
namespace {

// libvterm marks the right half of a wide character with this value.
const uint32_t kWideContinuation = 0xFFFFFFFF;

void AppendUtf8(uint32_t code, std::string* text) {
  static const unsigned char kLead[] = {0x00, 0xC0, 0xE0, 0xF0};
  int tail = code < 0x80 ? 0 : code < 0x800 ? 1 : code < 0x10000 ? 2 : 3;
  text->push_back(static_cast<char>(kLead[tail] | (code >> (6 * tail))));
  for (int shift = 6 * (tail - 1); shift >= 0; shift -= 6) {
    text->push_back(static_cast<char>(0x80 | ((code >> shift) & 0x3F)));
  }
}

// Tests speak in the 16 colours the program chose, so a colour that libvterm
// holds as RGB is matched back against the palette it was drawn from.
int PaletteIndex(VTermState* state, VTermColor colour, bool foreground) {
  if (foreground ? VTERM_COLOR_IS_DEFAULT_FG(&colour) : VTERM_COLOR_IS_DEFAULT_BG(&colour)) {
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

// A query (cursor position, device attributes) gets the answer a real
// terminal would give; a program waiting for one must not hang the run.
void Answer(const char* bytes, size_t count, void* user) {
  auto* capture = static_cast<ScreenCapture*>(user);
  while (capture->answerTo >= 0 && count > 0) {
    ssize_t written = write(capture->answerTo, bytes, count);
    if (written <= 0) return;
    bytes += written;
    count -= static_cast<size_t>(written);
  }
}

}  // namespace

void OpenScreen(ScreenCapture* capture, int columns, int rows) {
  capture->terminal = vterm_new(rows, columns);
  vterm_set_utf8(capture->terminal, 1);
  capture->screen = vterm_obtain_screen(capture->terminal);
  capture->state = vterm_obtain_state(capture->terminal);
  vterm_screen_enable_altscreen(capture->screen, 0);
  vterm_screen_reset(capture->screen, 1);
  // Bold must not brighten a colour behind the test's back: the bright
  // colours are only those the program asked for (SGR 90-97, 100-107).
  vterm_state_set_bold_highbright(capture->state, 0);
  vterm_output_set_callback(capture->terminal, Answer, capture);
}

// libvterm does not carry a UTF-8 character across two writes, and reads
// from the terminal may cut one anywhere: an unfinished character at the
// end is held back until the rest arrives.
void FeedScreen(ScreenCapture* capture, const char* bytes, size_t count) {
  std::string& text = capture->unfinished;
  text.append(bytes, count);
  size_t lead = text.size();
  while (lead > 0 && text.size() - lead < 4 && (static_cast<unsigned char>(text[lead - 1]) & 0xC0) == 0x80) {
    --lead;
  }
  size_t keep = 0;
  if (lead > 0) {
    const unsigned char first = static_cast<unsigned char>(text[lead - 1]);
    const size_t length = first >= 0xF0 ? 4 : first >= 0xE0 ? 3 : first >= 0xC0 ? 2 : 1;
    if (text.size() - (lead - 1) < length) keep = text.size() - (lead - 1);
  }
  vterm_input_write(capture->terminal, text.data(), text.size() - keep);
  text.erase(0, text.size() - keep);
}

void ReadScreen(const ScreenCapture& capture, RunResult* result) {
  vterm_get_size(capture.terminal, &result->rows, &result->columns);
  result->screen.assign(result->rows, std::vector<Cell>(result->columns));
  for (int row = 0; row < result->rows; ++row) {
    for (int column = 0; column < result->columns; ++column) {
      VTermScreenCell cell;
      vterm_screen_get_cell(capture.screen, VTermPos{row, column}, &cell);
      Cell& out = result->screen[row][column];
      bool rightHalf = cell.chars[0] == kWideContinuation;
      for (int i = 0; !rightHalf && i < VTERM_MAX_CHARS_PER_CELL && cell.chars[i] != 0; ++i) {
        AppendUtf8(cell.chars[i], &out.text);
      }
      out.width = rightHalf ? 0 : cell.width;
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
}

void CloseScreen(ScreenCapture* capture) {
  if (capture->terminal) vterm_free(capture->terminal);
  *capture = ScreenCapture();
}

std::string RunResult::RowText(int row) const {
  std::string text;
  if (row < 0 || row >= static_cast<int>(screen.size())) return text;
  for (const Cell& cell : screen[row]) {
    if (cell.width != 0) text += cell.text.empty() ? std::string(" ") : cell.text;
  }
  text.erase(text.find_last_not_of(' ') + 1);
  return text;
}

}  // namespace harness
