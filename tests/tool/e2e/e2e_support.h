// Shared pieces of the end-to-end tests: a fixture that runs the real zev
// binary on a terminal and checks after every run that the inputs are
// exactly as they were, plus readers for what the screen shows.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "harness/terminal_harness.h"

namespace e2e {

// The tool's colours are numbered as on a PC text screen (bit 0 blue,
// bit 2 red); a terminal's palette swaps red and blue.
int TerminalColour(int pcColour);

// The UTF-8 text that a terminal shows for one byte of the tool's code page.
std::string Cp437Glyph(uint8_t byte);

// A report line (without its line end) as a terminal shows it.
std::string TerminalText(std::string_view bytes);

// count cells of a row from column on, an empty cell read as a blank.
std::string CellsText(const harness::RunResult& result, int row, int column, int count);

// The report's lines with their CR LF cut off; fails the test when a line
// lacks its CR or the text does not end with a line end.
std::vector<std::string> SplitReportLines(const std::string& report);

// Equal reports, or a failure that shows the first line where they part
// (reports may run to megabytes, too long to print whole).
void ExpectSameReport(const std::string& actual, const std::string& expected);

// Size, times and (for files of moderate size) the bytes of an input.
struct FileState {
  std::string path;
  bool exists = false;
  bool regular = false;
  ino_t inode = 0;
  off_t size = 0;
  timespec modified{};
  timespec changed{};
  bool hasContent = false;
  std::string content;
};

FileState TakeFileState(const std::string& path);
void ExpectSameState(const FileState& before, const FileState& after);

class ZevTest : public testing::Test {
 protected:
  // Writes an input into the scratch directory and watches it: every Run
  // then checks it unchanged. Returns the name relative to the directory.
  std::string MakeInput(const std::string& name, const std::string& bytes);
  // Watches a file made some other way (an absolute path).
  void WatchInput(const std::string& path);

  harness::RunOptions Options(const std::vector<std::string>& args) const;
  harness::RunResult Run(const std::vector<std::string>& args,
                         harness::StdoutMode mode = harness::StdoutMode::Terminal);
  // Takes the state of every watched input, runs, and checks it again.
  harness::RunResult Run(const harness::RunOptions& options);

  std::string Path(const std::string& name) const { return dir.File(name); }

  harness::TempDirectory dir;
  std::vector<std::string> watched;
};

// The banner on rows 2 to 5 of an 80 x 25 screen.
void ExpectBanner(const harness::RunResult& result);

// count cells of a row in the given terminal palette colours; one failure
// at most, for the first cell that differs.
void ExpectColours(const harness::RunResult& result, int row, int column, int count,
                   int foreground, int background);

// Banner, then the message in light red on black in column 2 of row 6, an
// empty row after it, nothing else on the screen, and exit code 1.
void ExpectFatal(const harness::RunResult& result, const std::string& message);

// The run-time error stop: its first two lines name the same place, place
// lines follow, and an empty line ends it.
void ExpectStopMessage(const std::string& text, int number);
// "Runtime error N at 0x" and eight digits; "  0x" and eight digits.
bool IsStopLine(std::string_view line, int number);
bool IsPlaceLine(std::string_view line);

// Nothing but the banner on the screen.
void ExpectScreenBannerOnly(const harness::RunResult& result);

}  // namespace e2e
