// The difference report: one header line naming the files, then one line
// per selected position.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "shared/run_settings.h"

// What a report is given when it is opened.
struct ReportOptions {
  std::string_view name;  // empty: standard output; "con": the terminal; else a file created afresh
  int width = 1;          // bytes a value, read in the byte order given
  bool bigEndian = false;
  bool real = false;  // IEEE 754 binary32 or binary64 numbers rather than integers
  ReportForm form = ReportForm::kTable;
  int64_t startOffset = 0;  // where the comparison starts, told in a JSON Lines report's first line
};

void OpenReport(const ReportOptions& options);

// The header line (for JSON Lines, the line that describes the run).
// largestPosition (shortest length - 1) fixes how many digits every
// position of a table gets.
void WriteReportHeader(const std::string* names, int count, int64_t largestPosition);

// One line: the position and the value of every file, in file order: its
// width bytes as they stand in the file, file after file.
void WriteDifferenceLine(int64_t position, const uint8_t* bytes, int count);

// Hands over what is still buffered and releases the destination.
void CloseReport();
