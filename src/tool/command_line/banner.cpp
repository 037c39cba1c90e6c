#include "command_line/banner.h"

#include "console/console_window.h"

namespace {

constexpr uint8_t kBannerColour = 10;   // light green
constexpr uint8_t kTextColour = 7;      // light grey
constexpr uint8_t kHeadingColour = 14;  // yellow
constexpr int kBannerField = 72;

// The window leaves one free column at either side of an 80-column screen
// and a free row above.
constexpr uint8_t kWindowLeft = 2;
constexpr uint8_t kWindowTop = 2;
constexpr uint8_t kWindowRight = 79;
constexpr uint8_t kWindowBottom = 24;

void WriteBlanks(int count) { WriteText("", count); }

// A switch line: its name in window column 4, its description in column 18.
void WriteSwitchLine(const char* name, int gap, const char* description) {
  WriteBlanks(3);
  WriteText(name, 0);
  WriteBlanks(gap);
  WriteText(description, 0);
  EndLine();
}

}  // namespace

void ShowBanner() {
  // The window is still the whole screen here, so the clear blanks all of
  // it in the terminal's own colours.
  ClearWindow();
  SetWindow(kWindowLeft, kWindowTop, kWindowRight, kWindowBottom);
  SetTextAttribute(kBannerColour);
  WriteText("Brimlo comaparator", kBannerField);
  EndLine();
  WriteText("Byte-by-byte comparison of two to ten files", kBannerField);
  EndLine();
  WriteText("ZEV v1.0 build 050107", kBannerField);
  EndLine();
  EndLine();
}

void ShowUsage() {
  SetTextAttribute(kTextColour);
  WriteText("Usage:", 0);
  WriteBlanks(11);
  WriteText("ZEV file1 file2 [file3 .. fileN] [-switch1 .. -switchK]", 0);
  EndLine();
  EndLine();
  SetTextAttribute(kHeadingColour);
  WriteText("Switches:", 0);
  EndLine();
  SetTextAttribute(kTextColour);
  WriteSwitchLine("-a", 12, "Show differences if bytes in files have ascending order");
  WriteSwitchLine("-d", 12, "Show differences if bytes in files have descending order");
  WriteSwitchLine("-f:filename", 3, "Output file name, console by default");
  WriteSwitchLine("-o:########", 3, "File offset [PASCAL style]");
  WriteSwitchLine("-s[:###]", 6, "Show if bytes in files change on a step [PASCAL style]");
  EndLine();
  SetTextAttribute(kHeadingColour);
  WriteText("Notes:", 0);
  EndLine();
  SetTextAttribute(kTextColour);
  WriteBlanks(3);
  WriteText("If -a, -d and -s switches aren't set, all differences are showed", 0);
  EndLine();
  EndLine();
}
