// The run settings: filled while the parameters are sorted, read-only
// for the rest of the run.
#pragma once

#include <cstdint>
#include <string>

constexpr int kMostFiles = 10;

// Which different positions are reported; with none set, every one.
struct Selection {
  bool ascending = false;   // -a
  bool descending = false;  // -d
  bool step = false;        // -s
  bool anyStep = false;     // -s without a value: any constant non-zero step
  int32_t stepSize = 0;     // -s:n
};

struct RunSettings {
  std::string fileNames[kMostFiles];  // in command-line order
  int32_t fileCount = 0;              // keeps counting past kMostFiles
  Selection selection;
  std::string reportName = "con";     // -f:
  int32_t startOffset = 0;            // -o:
};

extern RunSettings runSettings;
