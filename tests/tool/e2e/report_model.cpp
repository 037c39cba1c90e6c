#include "report_model.h"

#include <algorithm>

namespace e2e {

namespace {

std::string RightAligned(const std::string& text, size_t width) {
  if (text.size() >= width) return text;
  return std::string(width - text.size(), ' ') + text;
}

const std::string kSeparator = " \xB3";

}  // namespace

bool IsSelected(const std::vector<int>& bytes, const Selection& selection) {
  bool different = false;
  for (int b : bytes) different = different || b != bytes[0];
  if (!different) return false;
  if (!selection.ascending && !selection.descending && !selection.anyStep && !selection.fixedStep)
    return true;

  bool rising = true;
  bool falling = true;
  bool constantStep = true;
  bool stepIsN = true;
  for (size_t k = 1; k < bytes.size(); ++k) {
    const int step = bytes[k] - bytes[k - 1];
    rising = rising && step > 0;
    falling = falling && step < 0;
    constantStep = constantStep && step == bytes[1] - bytes[0];
    stepIsN = stepIsN && step == selection.step;
  }
  return (selection.ascending && rising) || (selection.descending && falling) ||
         (selection.anyStep && constantStep) || (selection.fixedStep && stepIsN);
}

int PositionDigits(int64_t shortestLength) {
  int digits = 8;
  while (digits < 16 && shortestLength - 1 >= (int64_t{1} << (4 * digits))) ++digits;
  return digits;
}

std::string HexText(uint64_t value, int digits) {
  std::string text(digits, '0');
  for (int i = digits - 1; i >= 0; --i, value >>= 4) text[i] = "0123456789ABCDEF"[value & 15];
  return text;
}

std::string HeaderLine(const std::vector<std::string>& names, int digits) {
  std::string line = "Files:" + std::string(digits + 2 - 6, ' ');
  for (const std::string& name : names) line += kSeparator + RightAligned(name, 12);
  return line + "\r\n";
}

std::string DifferenceLine(uint64_t position, const std::vector<int>& bytes, int digits) {
  std::string line = HexText(position, digits) + "  ";
  for (int b : bytes) {
    line += kSeparator;
    line += RightAligned(std::to_string(b), 3);
    line += "  $" + HexText(static_cast<uint64_t>(b), 2);
    line += b < 0x20 ? std::string(" '.'") : std::string(" '") + static_cast<char>(b) + "'";
  }
  return line + "\r\n";
}

std::string ExpectedReport(const std::vector<std::string>& names,
                           const std::vector<std::string>& contents,
                           int64_t offset, const Selection& selection) {
  size_t shortest = contents[0].size();
  for (const std::string& content : contents) shortest = std::min(shortest, content.size());
  const int digits = PositionDigits(static_cast<int64_t>(shortest));
  std::string report = HeaderLine(names, digits);
  for (size_t position = static_cast<size_t>(offset); position < shortest; ++position) {
    std::vector<int> bytes;
    for (const std::string& content : contents) bytes.push_back(static_cast<uint8_t>(content[position]));
    if (IsSelected(bytes, selection)) report += DifferenceLine(position, bytes, digits);
  }
  return report;
}

}  // namespace e2e
