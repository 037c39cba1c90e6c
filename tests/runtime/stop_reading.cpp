#include "stop_reading.h"

#include <gtest/gtest.h>

#include <sstream>

namespace stop_reading {
namespace {

// True when line is prefix, "0x" and 8 uppercase hexadecimal digits.
bool ReadPlace(const std::string& line, const std::string& prefix, uint64_t& place) {
  if (line.size() != prefix.size() + 10 || line.compare(0, prefix.size() + 2, prefix + "0x") != 0) return false;
  std::string digits = line.substr(prefix.size() + 2);
  if (digits.find_first_not_of("0123456789ABCDEF") != std::string::npos) return false;
  place = std::stoull(digits, nullptr, 16);
  return true;
}

}  // namespace

StopMessage ParseStopMessage(const std::string& output) {
  StopMessage message;
  size_t start = output.find("Runtime error "), at = start, end;
  std::vector<std::string> lines;
  for (; start != std::string::npos && (end = output.find("\r\n", at)) != std::string::npos; at = end + 2) {
    lines.push_back(output.substr(at, end - at));
  }
  if (lines.size() < 3 || at != output.size() || !lines.back().empty()) return message;
  std::string number = lines[0].substr(14, lines[0].find(" at ") - 14);
  uint64_t again = 0, level = 0;
  if (number.empty() || number.size() > 5 || number[0] == '0' || number.find_first_not_of("0123456789") != std::string::npos ||
      !ReadPlace(lines[0], "Runtime error " + number + " at ", message.place) || !ReadPlace(lines[1], "  ", again) ||
      again != message.place) {
    return message;
  }
  for (size_t i = 2; i + 1 < lines.size(); ++i) {
    if (!ReadPlace(lines[i], "  ", level)) return message;
    message.levels.push_back(level);
  }
  message.number = static_cast<unsigned>(std::stoul(number));
  message.before = output.substr(0, start);
  message.wellFormed = true;
  return message;
}

std::map<std::string, uint64_t> AnnouncedOffsets(const std::string& errors) {
  std::map<std::string, uint64_t> offsets;
  std::istringstream lines(errors);
  std::string name, value;
  while (lines >> name >> value) offsets[name] = std::stoull(value, nullptr, 16);
  return offsets;
}

bool Within(uint64_t place, uint64_t functionStart) {
  return place >= functionStart && place < functionStart + 1024;
}

StopMessage ExpectStop(const ProbeRun& run, unsigned number, const std::string& before) {
  EXPECT_EQ(run.exitCode, static_cast<int>(number & 0xFF)) << run.errors;
  StopMessage message = ParseStopMessage(run.output);
  EXPECT_TRUE(message.wellFormed) << run.output;
  EXPECT_EQ(message.number, number);
  EXPECT_EQ(message.before, before);
  return message;
}

void ExpectFaultRows(std::initializer_list<FaultRow> rows,
                     const std::function<ProbeRun(const char* mode)>& run) {
  for (const FaultRow& row : rows) {
    SCOPED_TRACE(row.mode);
    const ProbeRun outcome = run(row.mode);
    const StopMessage message = ExpectStop(outcome, row.number);
    ASSERT_GE(message.levels.size(), 2u) << outcome.output;
    if (row.levels != 0) {
      EXPECT_EQ(message.levels.size(), row.levels);
    }
    if (row.placeChecked) {
      auto offsets = AnnouncedOffsets(outcome.errors);
      EXPECT_TRUE(Within(message.place, offsets["inner"])) << outcome.output << outcome.errors;
      EXPECT_TRUE(Within(message.levels[0], offsets["middle"])) << outcome.output << outcome.errors;
      EXPECT_TRUE(Within(message.levels[1], offsets["outer"])) << outcome.output << outcome.errors;
    }
  }
}

}  // namespace stop_reading
