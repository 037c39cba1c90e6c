// Shared pieces of the end-to-end tests: a fixture that runs the real zev
// on a terminal and checks the inputs unchanged after every run, a plain
// model of the report, and screen checks.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "harness/palette.h"
#include "harness/terminal_harness.h"

namespace e2e {

using harness::RunResult;
using harness::StdoutMode;

struct Selection {
  bool ascending = false, descending = false, anyStep = false, fixedStep = false;  // -a -d -s -s:n
  int step = 0;
};
std::string HeaderLine(const std::vector<std::string>& names, int digits = 8);
std::string DifferenceLine(uint64_t position, const std::vector<int>& bytes, int digits = 8);
// The model: every position from offset to the shortest length, one by one.
std::string ExpectedReport(const std::vector<std::string>& names,
                           const std::vector<std::string>& contents, int64_t offset,
                           const Selection& selection = {});

// Report text as a terminal shows it; bytes below 0x20 pass unchanged.
std::string TerminalText(std::string_view bytes);
// count cells of a row from column on, an empty cell read as a blank.
std::string CellsText(const RunResult& result, int row, int column, int count);
// The report's lines without their CR LF, which each must have.
std::vector<std::string> SplitReportLines(const std::string& report);
bool FileExists(const std::string& path);
// Reports run to megabytes: a mismatch shows where they part.
void ExpectSameReport(const std::string& actual, const std::string& expected);

// The command that starts zev: the program, then any arguments that come
// before zev's own (each test program defines it).
std::vector<std::string> ZevCommand();
// The command that names the function and source line of a code address
// of that program, the address to be appended.
std::string SymbolLookup();

// The palette index a terminal shows for the window's black background:
// black itself, or -1 (the terminal's own) under wine, whose console
// leaves its start-up background to the terminal.
int ShownBlack();

// A run that ends with one of the tool's own messages.
struct FatalCase {
  std::vector<std::string> args;
  std::string message;
  bool reportEmptied;  // the report had been opened when the run ended
};

class ZevTest : public testing::Test {
 protected:
  // Writes and watches an input; returns its name in the directory zev runs in.
  std::string MakeInput(const std::string& name, const std::string& bytes);
  harness::RunOptions Options(const std::vector<std::string>& args,
                              StdoutMode mode = StdoutMode::Terminal) const;
  RunResult Run(const std::vector<std::string>& args, StdoutMode mode = StdoutMode::Terminal) {
    return Run(Options(args, mode));
  }
  // Checks every watched input unchanged after the run.
  RunResult Run(const harness::RunOptions& options);
  // zev started by bash running script, so that "$0" "$@" runs zev with args.
  RunResult RunInShell(const std::string& script, const std::vector<std::string>& args,
                       StdoutMode mode = StdoutMode::Terminal);
  std::string Path(const std::string& name) const { return dir.File(name); }
  // Runs each case with -f:rep.txt in front and standard output on a
  // file: the message on the screen, nothing on standard output, and the
  // old report file untouched unless the report had been opened.
  void ExpectFatalCases(const std::vector<FatalCase>& cases);

  harness::TempDirectory dir;
  std::vector<std::string> watched;
};

// PC text colours (bit 0 blue, bit 2 red) in the terminal's palette.
constexpr int TerminalColour(int pc) { return harness::PaletteIndex(pc); }

// The banner on rows 2 to 4 of an 80 x 25 screen; with alone, nothing else.
void ExpectBanner(const RunResult& result, bool alone = false);
inline void ExpectScreenBannerOnly(const RunResult& result) { ExpectBanner(result, true); }
// count cells of a row in these palette colours (first miss only).
void ExpectColours(const RunResult& result, int row, int column, int count, int foreground,
                   int background);
// The report on the terminal after it scrolled the whole screen: its
// header went to row 6, and the screen shows the last 24 of its lines
// from the left edge, the cursor on the empty bottom row.
void ExpectScrolledReport(const RunResult& result, const std::vector<std::string>& lines);
// Banner, the message in light red on black from column 2 of row 6 on,
// wrapped at column 79, an empty row after it and nothing else, the
// cursor on the row after that, exit code 1.
void ExpectFatal(const RunResult& result, const std::string& message);
// The run-time error stop: "Runtime error N at " and a place, the same
// place again, further places, an empty line.
void ExpectStopMessage(const std::string& text, int number);

}  // namespace e2e
