// The banner and usage screen as the tool writes them, and the check that
// a screen shows them: for the Linux program and the Windows one alike.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "harness/terminal_harness.h"

namespace harness {

// Line by line from the window's left column, with the colour (the tool's
// own colour number) each is written in.
const std::vector<std::pair<std::string, int>>& UsageScreenLines();

// How a terminal shows a cell written in one of the tool's colours on
// black: its palette foreground and background (-1: the terminal's own).
struct ShownColours {
  int foreground;
  int background;
};
using ColourShown = ShownColours (*)(int toolColour);

// The banner and usage screen and nothing else (no margin, no trailing
// blanks), from the window's top-left cell at (origin, origin), 0-based,
// wrapping at the right edge of a window width columns wide; every cell
// written in the colours shown says, every other in the terminal's own
// background; the cursor below the last line.
void ExpectUsageScreen(const RunResult& result, int origin, int width, ColourShown shown);

}  // namespace harness
