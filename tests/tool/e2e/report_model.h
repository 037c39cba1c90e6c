// A plain model of what zev reports: every position from the start offset
// up to the shortest length, tested one by one. Slow and obvious on
// purpose, so that the tool can be checked against it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace e2e {

struct Selection {
  bool ascending = false;
  bool descending = false;
  bool anyStep = false;    // -s with no value
  bool fixedStep = false;  // -s:n
  int step = 0;
};

bool IsSelected(const std::vector<int>& bytes, const Selection& selection);

// Digits of a position: eight, or as many as the largest compared
// position needs.
int PositionDigits(int64_t shortestLength);

std::string HexText(uint64_t value, int digits);
std::string HeaderLine(const std::vector<std::string>& names, int digits = 8);
std::string DifferenceLine(uint64_t position, const std::vector<int>& bytes, int digits = 8);

// The whole report for a start offset that does not pass the shortest length.
std::string ExpectedReport(const std::vector<std::string>& names,
                           const std::vector<std::string>& contents,
                           int64_t offset, const Selection& selection);

}  // namespace e2e
