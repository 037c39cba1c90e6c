// The console window's character rules under any text: after every
// operation the cursor is inside the window, and no cell of the margin
// around it has changed.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "console/console_inspect.h"
#include "console/console_window.h"

namespace {

void Check(bool holds) {
  if (!holds) __builtin_trap();
}

bool SameCell(const ScreenCell& a, const ScreenCell& b) {
  return a.length == b.length && a.width == b.width && a.attribute == b.attribute &&
         std::string_view(a.bytes, a.length) == std::string_view(b.bytes, b.length);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  constexpr int kColumns = 20, kRows = 8;
  // The first byte: whether the terminal shows UTF-8; then the margin is
  // written full of a pattern before the window is set inside it.
  StartConsoleOnHandle(-1, kColumns, kRows, (data[0] & 1) != 0);
  SetTextAttribute(0x4F);
  WriteText(std::string_view("#%", 2), kColumns * kRows - 1);
  SetWindow(3, 2, 17, 6);
  std::vector<ScreenCell> margin;
  const auto outside = [](int column, int row) { return column < 3 || column > 17 || row < 2 || row > 6; };
  for (int row = 1; row <= kRows; ++row)
    for (int column = 1; column <= kColumns; ++column)
      if (outside(column, row)) margin.push_back(InspectCell(column, row));

  // The rest: operations, each a byte saying which and how long a text.
  size_t at = 1;
  while (at < size) {
    const uint8_t op = data[at++];
    const size_t length = op >> 3;
    const std::string_view text(reinterpret_cast<const char*>(data) + at, std::min(length, size - at));
    switch (op & 7) {
      case 0: EndLine(); break;
      case 1: ClearWindow(); break;
      case 2: SetTextAttribute(static_cast<uint8_t>(length * 9)); break;
      default:
        WriteText(text, static_cast<int>(op & 7) * 3 - 8);
        at += text.size();
    }
    const ConsoleView view = InspectConsole();
    Check(view.left == 3 && view.top == 2 && view.right == 17 && view.bottom == 6);
    Check(view.cursorColumn >= view.left && view.cursorColumn <= view.right);
    Check(view.cursorRow >= view.top && view.cursorRow <= view.bottom);
  }
  size_t next = 0;
  for (int row = 1; row <= kRows; ++row)
    for (int column = 1; column <= kColumns; ++column)
      if (outside(column, row)) Check(SameCell(InspectCell(column, row), margin[next++]));
  return 0;
}
