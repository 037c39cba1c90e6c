// Reading a run-time error stop message back, for the tests that look at
// a probe's endings from outside: on Linux, and under wine.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <map>
#include <string>
#include <vector>

namespace stop_reading {

struct StopMessage {
  bool wellFormed = false;  // exactly the message's form, ending the output
  std::string before;       // text that came ahead of the message
  unsigned number = 0;
  uint64_t place = 0;
  std::vector<uint64_t> levels;
};

// What a probe run left behind.
struct ProbeRun {
  int exitCode = -1;   // 128 + the signal when a signal ended it
  std::string output;  // everything on standard output
  std::string errors;  // everything on standard error
};

// What the probe hands over on every ending, before any stop message.
inline const std::string kHandedOver = "handed over\r\n";

// "Runtime error N at 0xPLACE", the place again, one line per level, and an
// empty line, each ending in CR LF, at the end of output.
StopMessage ParseStopMessage(const std::string& output);

// The "name 0xOFFSET" lines the probe writes to standard error.
std::map<std::string, uint64_t> AnnouncedOffsets(const std::string& errors);

// Whether a place lies so little into a function that it counts as inside.
bool Within(uint64_t place, uint64_t functionStart);

// The run ended with a stop message for number after `before`, and with
// the number's low 8 bits as exit code (all a Linux parent sees).
StopMessage ExpectStop(const ProbeRun& run, unsigned number, const std::string& before = kHandedOver);

// One way of ending the probe as a processor fault or a checked stop.
struct FaultRow {
  const char* mode;
  unsigned number;
  bool placeChecked;  // the probe announces the stopping function and the two that enclose it
  size_t levels;      // 0: any number from 2
};

// Runs every row's mode and checks the stop, its place and its levels.
void ExpectFaultRows(std::initializer_list<FaultRow> rows,
                     const std::function<ProbeRun(const char* mode)>& run);

}  // namespace stop_reading
