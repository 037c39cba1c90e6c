// The console window under any text: after every operation the cursor is inside the window; no margin cell changes.
#include <cstdint>
#include <string>
#include <string_view>

#include "console/console_inspect.h"
#include "console/console_window.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  // The first byte: whether the terminal shows UTF-8. The margin is full of a pattern.
  StartConsoleOnHandle(-1, 20, 8, (data[0] & 1) != 0);
  SetTextAttribute(0x4F);
  WriteText(std::string_view("#%", 2), 20 * 8 - 1);
  SetWindow(3, 2, 17, 6);
  const auto margin = [] {
    std::string cells;
    for (int row = 1; row <= 8; ++row) {
      for (int column = 1; column <= 20; ++column) {
        const ScreenCell cell = InspectCell(column, row);
        if (column < 3 || column > 17 || row < 2 || row > 6) {
          cells += std::string(cell.bytes, 4) + char(cell.width) + char(cell.attribute);
        }
      }
    }
    return cells;
  };
  const std::string before = margin();
  for (size_t at = 1; at < size;) {  // operations: a byte saying which, and how long a text
    const uint8_t op = data[at++];
    const std::string_view text(reinterpret_cast<const char*>(data) + at, std::min<size_t>(op >> 3, size - at));
    if ((op & 7) == 0) EndLine();
    if ((op & 7) == 1) ClearWindow();
    if ((op & 7) == 2) SetTextAttribute(static_cast<uint8_t>((op >> 3) * 9));
    if ((op & 7) > 2) {
      WriteText(text, static_cast<int>(op & 7) * 3 - 8);
      at += text.size();
    }
    const ConsoleView view = InspectConsole();
    if (view.left != 3 || view.top != 2 || view.right != 17 || view.bottom != 6 || view.cursorColumn < 3 ||
        view.cursorColumn > 17 || view.cursorRow < 2 || view.cursorRow > 6) {
      __builtin_trap();
    }
  }
  if (margin() != before) __builtin_trap();
  return 0;
}
