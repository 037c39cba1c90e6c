// The end-to-end suites' shared pieces, for the Linux program and each
// Windows one alike: a fixture that runs the real zev on a terminal and
// checks the inputs unchanged after every run, an independent model of
// the report and random runs against it, and the checks of screens and stops.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "harness/terminal_harness.h"

namespace e2e {

using harness::RunResult;
using harness::StdoutMode;

// What each platform's suite provides (zev_command_*.cpp).
std::vector<std::string> ZevCommand();                          // the program, then arguments before zev's own
std::vector<std::string> TestCommand(const std::string& name);  // "zev", "runtime_probe" or "launcher"
std::string SymbolLookup();  // names the function and line of an address appended to it
bool OnWindows();
// How a terminal shows a cell in one of the tool's colours on black:
// palette foreground and background (-1: the terminal's own).
struct Shown {
  int foreground, background;
};
Shown ShownColours(int toolColour);

// The model: every position from offset to the shortest length, one by one.
struct Selection {
  bool ascending = false, descending = false, anyStep = false, fixedStep = false;  // -a -d -s -s:n
  int step = 0;
};
std::string HeaderLine(const std::vector<std::string>& names, int digits = 8);
std::string DifferenceLine(uint64_t position, const std::vector<int>& bytes, int digits = 8);
std::string ExpectedReport(const std::vector<std::string>& names, const std::vector<std::string>& contents,
                           int64_t offset, const Selection& selection = {});

// A random run: 2 to 10 inputs with lengths around the block size, offsets
// at and around the edges, every switch in random forms, places and prefixes.
struct RandomCase {
  std::vector<std::string> names, contents, args;
  int64_t offset = 0, shortest = 0;
  Selection selection;
};
RandomCase MakeRandomCase(std::mt19937& engine);

// Text as a terminal shows it (code page 437); bytes below 0x20 pass.
std::string TerminalText(std::string_view bytes);
// The report's lines without their CR LF, which each must have.
std::vector<std::string> SplitReportLines(const std::string& report);
// Reports run to megabytes: a mismatch shows where they part.
void ExpectSameReport(const std::string& actual, const std::string& expected);

// "Runtime error N at 0xPLACE", the place again, a line per call level and
// an empty line, each with CR LF, ending the output.
struct StopMessage {
  bool wellFormed = false;
  std::string before;  // what came ahead of the message
  unsigned number = 0;
  uint64_t place = 0;
  std::vector<uint64_t> levels;
};
StopMessage ParseStop(const std::string& output);
// Exit code and message of stop number on standard output, after exactly before.
StopMessage ExpectStop(const RunResult& result, unsigned number, const std::string& before = "");

class ZevTest : public testing::Test {
 protected:
  // Writes and watches an input; returns its name in the directory zev runs in.
  std::string MakeInput(const std::string& name, const std::string& bytes);
  harness::RunOptions Options(const std::vector<std::string>& args, StdoutMode mode = StdoutMode::Terminal,
                              const std::vector<std::string>& command = ZevCommand()) const;
  RunResult Run(const std::vector<std::string>& args, StdoutMode mode = StdoutMode::Terminal) {
    return Run(Options(args, mode));
  }
  RunResult Run(const harness::RunOptions& options);  // checks every watched input unchanged
  // The command started by bash running script, in which "$0" "$@" runs it.
  RunResult RunInShell(const std::string& script, harness::RunOptions options);
  std::string Path(const std::string& name) const { return dir.File(name); }

  harness::TempDirectory dir;
  std::vector<std::string> watched;
};

// The banner on rows 2 to 4 of an 80 x 25 screen; with alone, nothing else.
void ExpectBanner(const RunResult& result, bool alone = false);
// The report on the terminal after it scrolled the whole screen: the last
// 24 of its lines from the left edge, the cursor on the empty bottom row.
void ExpectScrolledReport(const RunResult& result, const std::vector<std::string>& lines);
// Banner and the message in light red in the window (columns 2 to 79, rows
// 2 to 24, or the whole screen when that does not fit), wrapped at the
// window's edge and scrolling it, an empty row after it; exit code 1.
void ExpectFatal(const RunResult& result, const std::string& message);
// The banner and usage screen and nothing else, in that window.
void ExpectUsageScreen(const RunResult& result);

}  // namespace e2e
