// Runs the run-time probe in a child process with its standard output on a
// chosen kind of destination, and reads the stop message it leaves.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// kClosed starts the probe with no standard output at all.
enum class OutputKind { kPipe, kFile, kTerminal, kClosedPipe, kClosed };

struct ProbeRun {
  int exitCode = -1;   // 128 + the signal when a signal ended it
  std::string output;  // everything on standard output
  std::string errors;  // everything on standard error
};

ProbeRun RunProbe(const std::vector<std::string>& arguments, OutputKind kind);

struct StopMessage {
  bool wellFormed = false;  // exactly the message's form, ending the output
  std::string before;       // text that came ahead of the message
  unsigned number = 0;
  uint64_t place = 0;
  std::vector<uint64_t> levels;
};

StopMessage ParseStopMessage(const std::string& output);

// The "name 0xOFFSET" lines the probe writes to standard error.
std::map<std::string, uint64_t> AnnouncedOffsets(const std::string& errors);
