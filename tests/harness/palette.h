// Where the tool's colour numbers (a PC text screen's: bit 0 blue, bit 2
// red) land in a terminal's 16-colour palette, written out colour by
// colour: black, blue, green, cyan, red, magenta, brown, light grey, then
// the bright ones in the same order.
#pragma once

namespace harness {

inline constexpr int kPaletteIndexOfColour[16] = {0, 4, 2, 6, 1, 5, 3, 7, 8, 12, 10, 14, 9, 13, 11, 15};

constexpr int PaletteIndex(int toolColour) { return kPaletteIndexOfColour[toolColour & 15]; }

}  // namespace harness
