#include "harness/usage_screen.h"

#include <gtest/gtest.h>

namespace harness {

const std::vector<std::pair<std::string, int>>& UsageScreenLines() {
  const auto right = [](const std::string& text) { return std::string(72 - text.size(), ' ') + text; };
  enum { kLightGrey = 7, kLightGreen = 10, kYellow = 14 };
  static const std::vector<std::pair<std::string, int>> lines = {
      {right("Brimlo comaparator"), kLightGreen},
      {right("Byte-by-byte comparison of two to ten files"), kLightGreen},
      {right("ZEV v1.0 build 050107"), kLightGreen},
      {"", kLightGreen},
      {"Usage:           ZEV file1 file2 [file3 .. fileN] [-switch1 .. -switchK]", kLightGrey},
      {"", kLightGrey},
      {"Switches:", kYellow},
      {"   -a            Show differences if bytes in files have ascending order", kLightGrey},
      {"   -d            Show differences if bytes in files have descending order", kLightGrey},
      {"   -f:filename   Output file name, console by default", kLightGrey},
      {"   -o:########   File offset [PASCAL style]", kLightGrey},
      {"   -s[:###]      Show if bytes in files change on a step [PASCAL style]", kLightGrey},
      {"", kLightGrey},
      {"Notes:", kYellow},
      {"   If -a, -d and -s switches aren't set, all differences are showed", kLightGrey},
      {"", kLightGrey},
  };
  return lines;
}

void ExpectUsageScreen(const RunResult& result, int origin, int width, ColourShown shown) {
  constexpr int kNotWritten = -1;
  std::vector<std::string> rows(result.rows);
  std::vector<std::vector<int>> colours(result.rows, std::vector<int>(result.columns, kNotWritten));
  int row = origin;
  for (const auto& [text, colour] : UsageScreenLines()) {
    for (size_t at = 0; at < text.size(); ++at) {
      const size_t column = origin + at % width;
      rows[row].resize(column, ' ');
      rows[row] += text[at];
      colours[row][column] = colour;
      if ((at + 1) % width == 0) ++row;
    }
    ++row;
  }
  for (int r = 0; r < result.rows; ++r) {
    rows[r].erase(rows[r].find_last_not_of(' ') + 1);  // as RowText gives it
    EXPECT_EQ(result.RowText(r), rows[r]) << "row " << r + 1;
  }
  EXPECT_TRUE(result.cursorRow == row && result.cursorColumn == origin)
      << "cursor at " << result.cursorRow << "," << result.cursorColumn;
  for (int r = 0; r < result.rows; ++r) {
    for (int column = 0; column < result.columns; ++column) {
      const Cell& cell = result.At(r, column);
      const int colour = colours[r][column];
      const ShownColours expected = colour == kNotWritten ? ShownColours{cell.foreground, -1} : shown(colour);
      ASSERT_TRUE(cell.foreground == expected.foreground && cell.background == expected.background)
          << "row " << r + 1 << ", column " << column + 1 << ": " << cell.foreground << " on "
          << cell.background;
    }
  }
}

}  // namespace harness
