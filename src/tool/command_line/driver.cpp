#include "command_line/driver.h"

#include "command_line/banner.h"
#include "command_line/switch_prefix.h"
#include "command_line/switches.h"
#include "comparison/engine.h"
#include "console/console_window.h"
#include "report/report.h"
#include "runtime/parameters.h"
#include "runtime/run_time.h"
#include "shared/fatal_error.h"
#include "shared/run_settings.h"

namespace {

// Names past the tenth are counted but never stored, so the count check
// can refuse them after every switch has been looked at.
void AddFileName(std::string_view name) {
  if (runSettings.fileCount < kMostFiles) {
    runSettings.fileNames[runSettings.fileCount] = std::string(name);
  }
  ++runSettings.fileCount;
}

// An empty parameter has no prefix and so is a file name; it cannot be
// opened and ends the run with the open message.
void ReadCommandLine() {
  const int32_t count = ParameterCount();
  for (int32_t index = 1; index <= count; ++index) {
    std::string_view parameter = ParameterText(index);
    if (!parameter.empty() && IsSwitchPrefix(parameter[0])) {
      ParseSwitch(parameter);
    } else {
      AddFileName(parameter);
    }
  }
}

// True when the command line is this long option alone.
bool OnlyLongOption(std::string_view option) {
  return AnswersLongOptions() && ParameterCount() == 1 && ParameterText(1) == option;
}

// A switch that names a report form (-m:), whatever its value, means a run
// without a console: even the refusal of a bad value goes to standard error.
bool RunsWithoutConsole() {
  for (int32_t index = 1; index <= ParameterCount(); ++index) {
    const std::string_view parameter = ParameterText(index);
    if (parameter.size() >= 2 && IsSwitchPrefix(parameter[0]) && (parameter[1] == 'm' || parameter[1] == 'M')) {
      return true;
    }
  }
  return false;
}

constexpr std::string_view kHelpText =
    "Usage: zev FILE1 FILE2 [FILE3 .. FILE10] [SWITCH ..]\n"
    "Compares two to ten files byte by byte and lists the positions where they\n"
    "differ, or where their values rise, fall or step from the first file on.\n"
    "\n"
    "Switches:\n"
    "  -a            values rise from each file to the next\n"
    "  -d            values fall from each file to the next\n"
    "  -s[:n]        values change by one constant step, of n when given\n"
    "  -p:pattern    a step a character: + rises, - falls, = stays, ! changes, * any\n"
    "  -v:list       the values the files hold, one a file: n, lo..hi, ..hi, lo..\n"
    "  -w:n          values of n bytes: 1 (the default), 2, 4 or 8\n"
    "  -b            values read most significant byte first\n"
    "  -r            values are IEEE 754 numbers, with -w:4 or -w:8\n"
    "  -o:n          start at byte offset n\n"
    "  -f:name       report file; by default the console (standard output with -m:)\n"
    "  -m:csv        the report as CSV (RFC 4180), without a console\n"
    "  -m:jsonl      the report as JSON Lines, without a console\n"
    "  --help        this text\n"
    "  --version     the version\n"
    "\n"
    "Examples:\n"
    "  zev old.sav new.sav             every byte that differs\n"
    "  zev a.sav b.sav c.sav -w:2 -a   16-bit values that rise from a to c\n"
    "\n"
    "The manual page: man zev\n";

// Writes the answer and ends the run; a script never takes a lost answer
// for success.
[[noreturn]] void Answer(std::string_view text) {
  WriteMessage(StandardStream::kOutput, text);
  EndProgram(0);
}

}  // namespace

void AnswerLongOptions() {
  if (OnlyLongOption("--version")) Answer("zev " ZEV_VERSION "\n");
  if (OnlyLongOption("--help")) Answer(kHelpText);
}

void RunDriver() {
  if (RunsWithoutConsole()) {
    SendMessagesToStandardError();
    SendStopsToStandardError();
    runSettings.reportName.clear();
  } else {
    StartConsole();
    ShowBanner();
    if (ParameterCount() == 0) {
      ShowUsage();
      EndProgram(0);
    }
  }
  ReadCommandLine();
  if (runSettings.fileCount < 2) FatalError("Count of files must be 2 or more");
  if (runSettings.fileCount > kMostFiles) {
    FatalError("Count of files must be 10 or less");
  }
  // The first refusal counts; the checks look at nothing on disk.
  for (const std::string& refusal :
       {CheckRealValues(runSettings), ReadKnownValues(runSettings), ReadPattern(runSettings)}) {
    if (!refusal.empty()) FatalError(refusal);
  }
  OpenInputs();
  const Selection& selection = runSettings.selection;
  OpenReport({.name = runSettings.reportName,
              .width = selection.width,
              .bigEndian = selection.bigEndian,
              .real = selection.real,
              .form = runSettings.form,
              .startOffset = runSettings.startOffset});
  StartAtOffset();
  WriteReportHeader(runSettings.fileNames, runSettings.fileCount, LargestComparedPosition());
  CompareBlocks();
  CloseReport();
  CloseInputs();
}
