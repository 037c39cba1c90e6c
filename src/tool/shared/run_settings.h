// The run settings: filled while the parameters are sorted, read-only
// for the rest of the run.
#pragma once

#include <cstdint>
#include <string>

constexpr int kMostFiles = 10;

// How a value may go from one file to the next, for -p: a set of these.
enum : uint8_t {
  kStepRises = 1,      // '+'
  kStepStays = 2,      // '='
  kStepFalls = 4,      // '-'
  kStepUnordered = 8,  // from or to a NaN: a change ('!'), neither rising nor falling
};

// What is compared at each position, and which positions are reported.
// -a, -d, -s and -p choose positions by how the values change, any of
// them passing; -v then narrows to the known values. Without -p and -v a
// position must differ somewhere; with no selection set, every one that
// does is reported.
struct Selection {
  bool ascending = false;            // -a
  bool descending = false;           // -d
  bool step = false;                 // -s
  bool anyStep = false;              // -s without a value: any constant non-zero step
  uint64_t stepSize = 0;             // -s:n, the size of n
  bool stepDown = false;             // -s:n with n below 0
  int width = 1;                     // -w:n, bytes a value: 1, 2, 4 or 8
  bool bigEndian = false;            // -b, values read most significant byte first
  bool real = false;                 // -r, values are IEEE 754 binary32 (width 4) or binary64 (width 8)
  bool knownValues = false;          // -v: file k holds a value from lowest[k] to highest[k]
  uint64_t lowest[kMostFiles] = {};  // within the width
  uint64_t highest[kMostFiles] = {};
  bool pattern = false;  // -p: the step from file k to k + 1 is one of steps[k]
  uint8_t steps[kMostFiles - 1] = {};
};

// What the report is written as: the table, or (-m:) a form for other
// programs, written without a console.
enum class ReportForm : uint8_t {
  kTable,
  kCsv,        // RFC 4180, CR LF line ends
  kJsonLines,  // one JSON object a line
};

struct RunSettings {
  std::string fileNames[kMostFiles];  // in command-line order
  int32_t fileCount = 0;              // keeps counting past kMostFiles
  Selection selection;
  std::string reportName = "con";        // -f:; standard output by default with -m:
  ReportForm form = ReportForm::kTable;  // -m:
  int32_t startOffset = 0;               // -o:
  std::string valueTexts;                // -v:, read once the width is known
  std::string patternText;               // -p:, read once the count of files is known
};

extern RunSettings runSettings;
