// Draws one scenario through the console window, chosen by the first
// argument, and ends the way the tool does. End-to-end tests read the
// screen it leaves on a terminal.
#include <cstring>
#include <string>

#include "console/console_window.h"
#include "runtime/run_time.h"
#include "tool/banner.h"

namespace {

// The screen outside a margin window, painted so that tests can see which
// cells scrolling and clearing touched: a red background and a text on
// the top row.
void PaintMargin() {
  SetTextAttribute(0x4F);  // white on red
  SetWindow(1, 1, 80, 1);
  ClearWindow();
  SetWindow(1, 25, 80, 25);
  ClearWindow();
  SetWindow(1, 1, 1, 25);
  ClearWindow();
  SetWindow(80, 1, 80, 25);
  ClearWindow();
  SetWindow(1, 1, 80, 1);
  WriteText("top margin", 0);
}

void MarginWindow() {
  ClearWindow();
  SetWindow(2, 2, 79, 24);
  SetTextAttribute(7);
}

void Wrap() {
  MarginWindow();
  WriteText(std::string(78, 'a') + "0123456789", 0);
  EndLine();
  WriteText(std::string(78, 'w'), 0);
  EndLine();
  WriteText("after", 0);
  EndLine();
}

void Scroll31() {
  ClearWindow();
  PaintMargin();
  SetWindow(2, 2, 79, 24);
  SetTextAttribute(7);
  ClearWindow();
  for (int line = 1; line <= 30; ++line) {
    WriteText("line " + std::to_string(line), 0);
    EndLine();
  }
  SetTextAttribute(31);
  EndLine();
}

void Backspace() {
  MarginWindow();
  WriteText("ab\b\bX", 0);
  EndLine();
  WriteText("\b\b\bY", 0);
  EndLine();
}

void Linefeed() {
  MarginWindow();
  WriteText("abc\ndef", 0);
  EndLine();
}

void Margin() {
  ClearWindow();
  PaintMargin();
  SetWindow(2, 2, 79, 24);
  SetTextAttribute(14);
  WriteText("inside", 0);
  SetTextAttribute(0x1F);
  ClearWindow();
  WriteText("cleared", 0);
  EndLine();
}

void Utf8() {
  MarginWindow();
  WriteText("Grüße 日本語 😀 end", 0);
  EndLine();
  WriteText(std::string(77, '.') + "日", 0);
  EndLine();
}

void Bytes() {
  MarginWindow();
  WriteText("<\x80\x9b\xb0\xdb\xff\xc3(>", 0);
  EndLine();
}

void Controls() {
  MarginWindow();
  SetTextAttribute(12);
  WriteText("a\tb\x1b[31mred\x1b[2J\x1b]0;title\a!", 0);
  EndLine();
  WriteText(std::string("<\0\x7f\x0c>", 5), 0);
}

void Usage() {
  ShowBanner();
  ShowUsage();
}

}  // namespace

int main(int argc, char** argv) {
  StartRunTime(argc, argv);
  StartConsole();
  const char* scenario = argc > 1 ? argv[1] : "";
  struct Entry {
    const char* name;
    void (*draw)();
  };
  const Entry entries[] = {
      {"wrap", Wrap},         {"scroll31", Scroll31}, {"backspace", Backspace},
      {"linefeed", Linefeed}, {"margin", Margin},     {"utf8", Utf8},
      {"bytes", Bytes},       {"controls", Controls}, {"banner", ShowBanner},
      {"usage", Usage},
  };
  for (const Entry& entry : entries) {
    if (std::strcmp(entry.name, scenario) == 0) {
      entry.draw();
      EndProgram(0);
    }
  }
  EndProgram(2);
}
