// The run settings: filled while the parameters are sorted, read-only
// for the rest of the run.
#pragma once

#include <cstdint>
#include <string>

constexpr int kMostFiles = 10;

// What is compared at each position, and which different positions are
// reported; with no selection set, every one.
struct Selection {
  bool ascending = false;   // -a
  bool descending = false;  // -d
  bool step = false;        // -s
  bool anyStep = false;     // -s without a value: any constant non-zero step
  int32_t stepSize = 0;     // -s:n
  int width = 1;            // -w:n, bytes a value: 1, 2, 4 or 8
  bool bigEndian = false;   // -b, values read most significant byte first
  bool knownValues = false; // -v: file k holds values[k]
  uint64_t values[kMostFiles] = {};  // within the width
};

struct RunSettings {
  std::string fileNames[kMostFiles];  // in command-line order
  int32_t fileCount = 0;              // keeps counting past kMostFiles
  Selection selection;
  std::string reportName = "con";     // -f:
  int32_t startOffset = 0;            // -o:
  std::string valueTexts;             // -v:, read once the width is known
};

extern RunSettings runSettings;
