#include "command_line/driver.h"

#include "command_line/banner.h"
#include "command_line/switch_prefix.h"
#include "command_line/switches.h"
#include "comparison/engine.h"
#include "report/report.h"
#include "runtime/error_numbers.h"
#include "runtime/io_error.h"
#include "runtime/parameters.h"
#include "runtime/process.h"
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

}  // namespace

void AnswerVersionQuery() {
  if (!OnlyLongOption("--version")) return;
  constexpr std::string_view kVersionLine = "zev " ZEV_VERSION "\n";
  if (!WriteStandardOutput(kVersionLine.data(), kVersionLine.size())) StoreIoError(kErrorDiskWrite);
  CheckIo();
  EndProgram(0);
}

void RunDriver() {
  ShowBanner();
  if (ParameterCount() == 0 || OnlyLongOption("--help")) {
    ShowUsage();
    EndProgram(0);
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
  OpenReport(runSettings.reportName, selection.width, selection.bigEndian, selection.real);
  StartAtOffset();
  WriteReportHeader(runSettings.fileNames, runSettings.fileCount,
                    LargestComparedPosition());
  CompareBlocks();
  CloseReport();
  CloseInputs();
}
