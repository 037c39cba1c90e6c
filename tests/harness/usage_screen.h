// The banner and usage screen as the tool writes them, line by line from
// the window's left column, with the colour (the tool's own colour
// number) each is written in: what the screen tests on every platform
// expect to see.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace harness {

inline const std::vector<std::pair<std::string, int>>& UsageScreenLines() {
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

}  // namespace harness
