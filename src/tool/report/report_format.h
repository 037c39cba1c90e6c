// The texts of the difference report: hexadecimal formatters, the
// position lead, the header pieces and the precomputed file columns.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "shared/run_settings.h"

constexpr std::string_view kLineEnd = "\r\n";
constexpr int kShortestPositionDigits = 8;
constexpr int kLongestPositionDigits = 16;
// The position digits and the two blanks after them.
constexpr size_t kLongestLead = kLongestPositionDigits + 2;

// Two uppercase hexadecimal digits.
std::string HexByte(uint8_t value);

// The value in exactly digits uppercase hexadecimal digits, leading zeros
// kept: eight for every position that fits in 32 bits, more for wider ones.
void HexLong(uint64_t value, int digits, char* out);

// How many digits every position of a report gets: eight while the
// largest position fits, else as many as the largest needs.
int PositionDigits(int64_t largestPosition);

// Writes the position in digits hexadecimal digits and two blanks; returns
// the count of bytes written (digits + 2).
size_t FormatLead(uint64_t position, int digits, char* out);

// The header's lead: "Files:" and blanks, as wide as a position lead.
std::string HeaderLead(int digits);

// The texts below come in two forms: the report's own bytes, and (utf8)
// the same characters for a destination that shows UTF-8, where 0xB3 and
// raw bytes from 0x7F up become the code page 437 characters they stand for.

// The separator before a file's header column.
std::string_view SeparatorText(bool utf8);

// A file name right-aligned in a field of the given width (12 for
// bytes). With utf8, bytes that are no valid displayable UTF-8 become code
// page 437 characters and the field is measured in terminal cells.
std::string HeaderNameField(std::string_view name, int field, bool utf8);

// Values wider than a byte (2, 4 or 8 bytes): a file's column is the
// separator, the value in decimal right-aligned in 5, 10 or 20 places, two
// blanks, '$' and two hexadecimal digits a byte, most significant first,
// a blank and the bytes in file order between quotes, each shown as a
// byte column shows its byte.
int ValueColumnWidth(int width, bool real = false);  // 14 for bytes

// The most a value column takes in bytes, UTF-8 included.
constexpr size_t kLongestValueColumn = 4 + 24 + 3 + 16 + 2 + 8 * 3 + 1;

// Writes the column of the value whose width bytes (in file order) are at
// bytes; returns its length.
size_t FormatValueColumn(const uint8_t* bytes, int width, bool bigEndian, bool real, bool utf8, char* out);

// The shortest text that reads back to the same real value (the width's
// bits): 1.5, 1500, -2.5E-7, 1E20; inf, -inf, and nan whatever its sign.
// Returns its length, 24 at most.
int FormatReal(uint64_t bits, int width, char* out);

// How the lines of one report are written: its form, its position digits,
// its values, and whether its destination shows UTF-8.
struct LineFormat {
  ReportForm form = ReportForm::kTable;
  int digits = kShortestPositionDigits;
  int width = 1;
  bool bigEndian = false;
  bool real = false;  // IEEE 754 values, shown as the numbers they are
  bool utf8 = false;
};

// The first line of a report for other programs, line end included: for
// CSV the header row ("offset", then each name, quoted where RFC 4180 asks
// for it); for JSON Lines an object that describes the run.
std::string FormHeader(const LineFormat& format, const std::string* names, int count, int64_t startOffset);

// A line of a report for other programs: the position in decimal, then
// each value, unsigned decimal or the real value's shortest text; pieces
// recorded as FormatDifferenceLine records them. Returns its length.
size_t FormatFormLine(const LineFormat& format, uint64_t position, const uint8_t* bytes, int count, char* out,
                      size_t* ends);

// The most a line of count values takes, with the little its pieces may
// write past its end.
constexpr size_t LineRoom(int count) {
  return kLongestLead + static_cast<size_t>(count) * kLongestValueColumn + 2 + kLineEnd.size();
}

// Writes a whole difference line at out: the lead, a column a value, the
// line end, each piece's end recorded in ends[0..count + 2) for a
// destination that takes the pieces one by one. Returns its length.
size_t FormatDifferenceLine(const LineFormat& format, uint64_t position, const uint8_t* bytes, int count, char* out,
                            size_t* ends);
