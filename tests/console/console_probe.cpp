// Draws one scenario through the console window, named by the first
// argument, and ends the way the tool does. End-to-end tests read the
// screen it leaves on a terminal.
#include <cstring>
#include <initializer_list>
#include <string>

#include "console/console_window.h"
#include "runtime/run_time.h"

namespace {

// Opens the window with a one-cell margin. A painted margin (white on red,
// a text on the top row) lets tests see which cells scrolling and
// clearing touched.
void MarginWindow(bool painted) {
  ClearWindow();
  if (painted) {
    SetTextAttribute(0x4F);
    const uint8_t strips[][4] = {{1, 25, 80, 25}, {1, 1, 1, 25}, {80, 1, 80, 25}, {1, 1, 80, 1}};
    for (const auto& strip : strips) {
      SetWindow(strip[0], strip[1], strip[2], strip[3]);
      ClearWindow();
    }
    WriteText("top margin", 0);
  }
  SetWindow(2, 2, 79, 24);
  SetTextAttribute(7);
  if (painted) ClearWindow();
}

void Lines(std::initializer_list<std::string> lines) {
  for (const std::string& line : lines) {
    WriteText(line, 0);
    EndLine();
  }
}

void DrawLines() {
  MarginWindow(false);
  Lines({std::string(78, 'a') + "0123456789", std::string(78, 'w'), "after", "ab\b\bX", "\b\b\bY",
         "abc\ndef"});
}

void DrawScroll31() {
  MarginWindow(true);
  for (int line = 1; line <= 30; ++line) Lines({"line " + std::to_string(line)});
  SetTextAttribute(31);
  EndLine();
}

void DrawMargin() {
  MarginWindow(true);
  SetTextAttribute(14);
  WriteText("inside", 0);
  SetTextAttribute(0x1F);
  ClearWindow();
  Lines({"cleared"});
}

void DrawText() {
  MarginWindow(false);
  Lines({"Grüße 日本語 😀 end", std::string(77, '.') + "日", "<\x80\x9b\xb0\xdb\xff\xc3(>"});
  SetTextAttribute(12);
  Lines({"a\tb\x1b[31mred\x1b[2J\x1b]0;title\a!"});
  WriteText(std::string("<\0\x7f\x0c>", 5), 0);
}

}  // namespace

int main(int argc, char** argv) {
  StartRunTime(argc, argv);
  StartConsole();
  const struct {
    const char* name;
    void (*draw)();
  } entries[] = {{"lines", DrawLines}, {"scroll31", DrawScroll31}, {"margin", DrawMargin},
                 {"text", DrawText}};
  for (const auto& entry : entries) {
    if (argc > 1 && std::strcmp(entry.name, argv[1]) == 0) {
      entry.draw();
      EndProgram(0);
    }
  }
  EndProgram(2);
}
