// The end-to-end suites' pieces, for the Linux and Windows programs alike: a fixture running the real zev on a
// terminal that checks the inputs unchanged after every run, an independent model of the report with random runs
// against it, and the checks of screens and stops.
#pragma once

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "harness/terminal_harness.h"

namespace e2e {

using harness::RunResult;
using harness::StdoutMode;

// Each platform's suite provides these (zev_command_*.cpp).
std::vector<std::string> TestCommand(const std::string& name);  // "zev" or "runtime_probe", and what runs it
std::vector<std::string> ZevCommand();
std::string SymbolLookup();  // names the function and line of an address appended
bool OnWindows();
bool Is32BitX86();  // which alone has BOUND and INTO
struct Shown {      // how the terminal shows one of the tool's colours on black (-1: its own)
  int foreground, background;
};
Shown ShownColours(int toolColour);

// The model: every position from offset to the shortest length, one by one.
struct Selection {
  bool ascending = false, descending = false, anyStep = false, fixedStep = false;  // -a -d -s -s:n
  int64_t step = 0;
  int width = 1;                                          // -w:n
  bool bigEndian = false;                                 // -b
  std::vector<std::pair<uint64_t, uint64_t>> known = {};  // -v:, a range of values a file (a value: lowest = highest)
  std::string pattern = "";                               // -p:, one of + - = ! * a step
  bool real = false;  // -r: binary32 or binary64 numbers (known bounds as their bits)
};
// The shortest text that reads back to the same number, as the report writes it (1.5, -2.5E-7, inf, nan).
std::string ShortestReal(double number, bool single);
std::string HeaderLine(const std::vector<std::string>& names, int digits = 8, int field = 12);
std::string DifferenceLine(uint64_t position, const std::vector<int>& bytes, int digits = 8);
enum class Form { Table, Csv, JsonLines };  // the report's, or -m:csv, -m:jsonl
std::string ExpectedReport(const std::vector<std::string>& names, const std::vector<std::string>& contents,
                           int64_t offset, const Selection& selection = {}, Form form = Form::Table);
struct RandomCase {  // 2 to 10 inputs around the block size, offsets at the edges, switches in every form
  std::vector<std::string> names, contents, args;
  int64_t offset = 0, shortest = 0;
  Selection selection;
};
RandomCase MakeRandomCase(std::mt19937& engine);

std::string TerminalText(const std::string& bytes);                    // as a terminal shows them (code page 437)
std::vector<std::string> SplitReportLines(const std::string& report);  // each line must end in CR LF
void ExpectSameReport(const std::string& actual, const std::string& expected);  // says where they part

// "Runtime error N at 0xPLACE", the place again, a line per call level, an empty line, ending the output.
struct StopMessage {
  bool wellFormed = false;
  std::string before;  // what came ahead of the message
  unsigned number = 0;
  uint64_t place = 0;
  std::vector<uint64_t> levels;
};
StopMessage ParseStop(const std::string& output);
// The exit code and the message of stop number on standard output, after exactly before.
StopMessage ExpectStop(const RunResult& result, unsigned number, const std::string& before = "");

class ZevTest : public testing::Test {
 protected:
  std::string MakeInput(const std::string& name, const std::string& bytes);  // written and watched
  harness::RunOptions Options(const std::vector<std::string>& args, StdoutMode mode = StdoutMode::Terminal,
                              const std::vector<std::string>& command = ZevCommand()) const;
  RunResult Run(const std::vector<std::string>& args, StdoutMode mode = StdoutMode::Terminal) {
    return Run(Options(args, mode));
  }
  RunResult Run(const harness::RunOptions& options);  // then checks every watched input unchanged
  RunResult RunInShell(const std::string& script, harness::RunOptions options);  // "$0" "$@" runs the command
  std::string Path(const std::string& name) const { return dir.File(name); }
  harness::TempDirectory dir;
  std::vector<std::string> watched;
};

void ExpectBanner(const RunResult& result);  // the banner in the window and nothing else
// The report having scrolled the whole screen: its last 24 lines, the cursor on the empty bottom row.
void ExpectScrolledReport(const RunResult& result, const std::vector<std::string>& lines);
// The banner and the message in light red in the window (columns 2 to 79, rows 2 to 24, or the whole
// screen when that does not fit), wrapped at its edge and scrolling it, an empty row after; exit code 1.
void ExpectFatal(const RunResult& result, const std::string& message);
void ExpectUsageScreen(const RunResult& result);  // the banner and usage screen, in the window

}  // namespace e2e
