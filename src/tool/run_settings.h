// The run settings: filled while the parameters are sorted, read-only
// for the rest of the run.
#pragma once

#include <cstdint>
#include <string>

constexpr int kMostFiles = 10;

struct RunSettings {
  std::string fileNames[kMostFiles];  // in command-line order
  int32_t fileCount = 0;              // keeps counting past kMostFiles
  bool ascending = false;             // -a
  bool descending = false;            // -d
  bool step = false;                  // -s
  bool anyStep = false;               // -s without a value
  int32_t stepSize = 0;               // -s:n
  std::string reportName = "con";     // -f:
  int32_t startOffset = 0;            // -o:
};

extern RunSettings runSettings;
