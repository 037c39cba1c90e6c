// Reading a run-time error stop message back, for the tests that look at
// a probe's endings from outside: on Linux, and under wine.
#pragma once

#include <cstdint>
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

// "Runtime error N at 0xPLACE", the place again, one line per level, and an
// empty line, each ending in CR LF, at the end of output.
StopMessage ParseStopMessage(const std::string& output);

// The "name 0xOFFSET" lines the probe writes to standard error.
std::map<std::string, uint64_t> AnnouncedOffsets(const std::string& errors);

// Whether a place lies so little into a function that it counts as inside.
bool Within(uint64_t place, uint64_t functionStart);

}  // namespace stop_reading
