#include "runtime/stop_message.h"

namespace {

size_t AppendText(char* line, size_t at, const char* text) {
  while (*text != '\0') line[at++] = *text++;
  return at;
}

size_t AppendDecimal(char* line, size_t at, uint16_t number) {
  char digits[5];
  int length = 0;
  do {
    digits[length++] = static_cast<char>('0' + number % 10);
    number = static_cast<uint16_t>(number / 10);
  } while (number != 0);
  while (length > 0) line[at++] = digits[--length];
  return at;
}

// Eight digits at least; a wider value is written whole rather than cut.
size_t AppendHex(char* line, size_t at, uint64_t value) {
  static const char kDigits[] = "0123456789ABCDEF";
  int digitCount = 8;
  while (digitCount < 16 && (value >> (4 * digitCount)) != 0) ++digitCount;
  for (int i = digitCount - 1; i >= 0; --i) line[at++] = kDigits[(value >> (4 * i)) & 0xF];
  return at;
}

size_t AppendLineEnd(char* line, size_t at) { return AppendText(line, at, "\r\n"); }

}  // namespace

size_t FormatStopHeadLine(char* line, uint16_t number, uint64_t place) {
  size_t at = AppendText(line, 0, "Runtime error ");
  at = AppendDecimal(line, at, number);
  at = AppendText(line, at, " at 0x");
  at = AppendHex(line, at, place);
  return AppendLineEnd(line, at);
}

size_t FormatStopPlaceLine(char* line, uint64_t place) {
  size_t at = AppendText(line, 0, "  0x");
  at = AppendHex(line, at, place);
  return AppendLineEnd(line, at);
}

void WriteStopMessage(StandardStream stream, uint16_t number, uint64_t place, const uint64_t* levels, int levelCount) {
  char line[kStopLineCapacity];
  if (!WriteStandardStream(stream, line, FormatStopHeadLine(line, number, place))) return;
  if (!WriteStandardStream(stream, line, FormatStopPlaceLine(line, place))) return;
  for (int i = 0; i < levelCount; ++i) {
    if (!WriteStandardStream(stream, line, FormatStopPlaceLine(line, levels[i]))) return;
  }
  WriteStandardStream(stream, "\r\n", 2);
}
