#include "report/report_format.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cstring>

#include "console/terminal_text.h"
#include "shared/values.h"

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";
constexpr char kSeparator[] = " \xB3";

struct HexPairs {
  char text[256][2];
};

constexpr HexPairs BuildHexPairs() {
  HexPairs pairs{};
  for (int b = 0; b < 256; ++b) {
    pairs.text[b][0] = kHexDigits[b >> 4];
    pairs.text[b][1] = kHexDigits[b & 0xF];
  }
  return pairs;
}

constexpr HexPairs kHexPairs = BuildHexPairs();

// A byte between the quotes: control bytes as '.', on a destination that
// shows UTF-8 bytes from 0x7F up as the code page 437 characters they
// stand for, every other byte itself. *b must outlive the result.
std::string_view ShownByte(const uint8_t* b, bool utf8) {
  if (*b < 0x20) return ".";
  if (utf8 && *b >= 0x7F) return CodePage437Utf8(*b);
  return std::string_view(reinterpret_cast<const char*>(b), 1);
}

// The columns of bytes in the report's own bytes, worked out once, so that
// a line of bytes, the usual report, is copied together.
constexpr size_t kByteColumnLength = 14;
struct ByteColumns {
  char text[256][16];
};

ByteColumns BuildByteColumns();

// Built before the run starts, so that formatting a line asks nothing.
const ByteColumns byteColumns = BuildByteColumns();

}  // namespace

std::string HexByte(uint8_t value) { return std::string(kHexPairs.text[value], 2); }

void HexLong(uint64_t value, int digits, char* out) {
  // Two digits per table look-up, from the lowest byte upward; an odd
  // count of digits takes its leading digit alone.
  int at = digits;
  while (at >= 2) {
    at -= 2;
    std::memcpy(out + at, kHexPairs.text[value & 0xFF], 2);
    value >>= 8;
  }
  if (at == 1) out[0] = kHexDigits[value & 0xF];
}

int PositionDigits(int64_t largestPosition) {
  int digits = kShortestPositionDigits;
  if (largestPosition <= 0) return digits;
  uint64_t rest = static_cast<uint64_t>(largestPosition) >> (4 * digits);
  while (rest != 0) {
    ++digits;
    rest >>= 4;
  }
  return digits;
}

size_t FormatLead(uint64_t position, int digits, char* out) {
  HexLong(position, digits, out);
  out[digits] = ' ';
  out[digits + 1] = ' ';
  return static_cast<size_t>(digits) + 2;
}

std::string HeaderLead(int digits) {
  std::string lead = "Files:";
  lead.resize(static_cast<size_t>(digits) + 2, ' ');
  return lead;
}

std::string_view SeparatorText(bool utf8) {
  static const std::string terminalSeparator = std::string(1, ' ').append(CodePage437Utf8(0xB3));
  return utf8 ? std::string_view(terminalSeparator) : std::string_view(kSeparator, 2);
}

std::string HeaderNameField(std::string_view name, int field, bool utf8) {
  int cells = static_cast<int>(name.size());
  std::string shown = utf8 ? TerminalText(name, &cells) : std::string(name);
  if (cells >= field) return shown;
  return std::string(static_cast<size_t>(field - cells), ' ').append(shown);
}

namespace {

// Decimal places of a value: as many as its largest value has; for a real
// value, as many as the longest of the shortest texts (nine digits and a
// two-digit exponent, seventeen and a three-digit one, with their signs).
int DecimalPlaces(int width, bool real) {
  if (real) return width == 4 ? 15 : 24;
  return width == 1 ? 3 : width == 2 ? 5 : width == 4 ? 10 : 20;
}

}  // namespace

// The fewest significant digits that read back, written plainly or with an
// exponent after E (its digits alone), whichever is shorter, plainly when
// they tie.
int FormatReal(uint64_t bits, int width, char* out) {
  char text[40];
  const std::to_chars_result written =
      width == 4 ? std::to_chars(text, text + sizeof text, std::bit_cast<float>(static_cast<uint32_t>(bits)),
                                 std::chars_format::scientific)
                 : std::to_chars(text, text + sizeof text, std::bit_cast<double>(bits), std::chars_format::scientific);
  const std::string_view shown(text, static_cast<size_t>(written.ptr - text));
  if (shown.find("nan") != std::string_view::npos) return static_cast<int>(std::copy_n("nan", 3, out) - out);
  if (shown.find("inf") != std::string_view::npos) {
    return static_cast<int>(std::copy(shown.begin(), shown.end(), out) - out);
  }
  // d[.ddd]e±XX: the digits, and the power of ten of the first.
  const bool negative = shown[0] == '-';
  const size_t e = shown.find('e');
  char digits[24];
  int count = 0;
  for (size_t i = negative ? 1 : 0; i < e; ++i) {
    if (shown[i] != '.') digits[count++] = shown[i];
  }
  int exponent = 0;
  std::from_chars(shown.data() + e + (shown[e + 1] == '+' ? 2 : 1), shown.data() + shown.size(), exponent);
  char scientific[40], plain[400];
  char* at = scientific;
  *at++ = digits[0];
  if (count > 1) *at++ = '.';
  at = std::copy(digits + 1, digits + count, at);
  *at++ = 'E';
  at = std::to_chars(at, scientific + sizeof scientific, exponent).ptr;
  const auto scientificLength = at - scientific;
  at = plain;
  if (exponent >= count - 1) {
    at = std::fill_n(std::copy(digits, digits + count, at), exponent - count + 1, '0');
  } else if (exponent >= 0) {
    at = std::copy(digits + exponent + 1, digits + count, std::copy(digits, digits + exponent + 1, at) + 1);
    plain[exponent + 1] = '.';
  } else {
    at = std::copy(digits, digits + count, std::fill_n(std::copy_n("0.", 2, at), -exponent - 1, '0'));
  }
  const auto plainLength = at - plain;
  char* end = out;
  if (negative) *end++ = '-';
  end = plainLength <= scientificLength ? std::copy(plain, at, end)
                                        : std::copy(scientific, scientific + scientificLength, end);
  return static_cast<int>(end - out);
}

int ValueColumnWidth(int width, bool real) { return 2 + DecimalPlaces(width, real) + 3 + 2 * width + 2 + width + 1; }

size_t FormatValueColumn(const uint8_t* bytes, int width, bool bigEndian, bool real, bool utf8, char* out) {
  const uint64_t value = ValueAt(bytes, width, bigEndian);
  const std::string_view separator = SeparatorText(utf8);
  char* at = std::copy(separator.begin(), separator.end(), out);
  char decimal[32];
  const auto digits = real ? FormatReal(value, width, decimal)
                           : static_cast<int>(std::to_chars(decimal, decimal + sizeof decimal, value).ptr - decimal);
  at = std::fill_n(at, DecimalPlaces(width, real) - digits, ' ');
  at = std::copy_n(decimal, digits, at);
  at = std::copy_n("  $", 3, at);
  HexLong(value, 2 * width, at);
  at = std::copy_n(" '", 2, at + 2 * width);
  for (int i = 0; i < width; ++i) {
    const std::string_view shown = ShownByte(bytes + i, utf8);
    at = std::copy(shown.begin(), shown.end(), at);
  }
  *at++ = '\'';
  return static_cast<size_t>(at - out);
}

namespace {

ByteColumns BuildByteColumns() {
  ByteColumns columns{};
  for (int b = 0; b < 256; ++b) {
    const auto byte = static_cast<uint8_t>(b);
    FormatValueColumn(&byte, 1, false, false, false, columns.text[b]);
  }
  return columns;
}

}  // namespace

namespace {

// Apart, so that a line of the report's own bytes, the usual report, calls
// nothing and saves no registers.
[[gnu::noinline]] size_t FormatValueColumns(const LineFormat& format, const uint8_t* bytes, int count, char* out,
                                            size_t used, size_t* ends) {
  for (int k = 0; k < count; ++k) {
    const uint8_t* value = bytes + k * format.width;
    used += FormatValueColumn(value, format.width, format.bigEndian, format.real, format.utf8, out + used);
    ends[k + 1] = used;
  }
  return used;
}

}  // namespace

size_t FormatDifferenceLine(const LineFormat& format, uint64_t position, const uint8_t* bytes, int count, char* out,
                            size_t* ends) {
  if (format.form != ReportForm::kTable) return FormatFormLine(format, position, bytes, count, out, ends);
  // Eight digits, the usual case, known here, so that the compiler unrolls them.
  size_t used = format.digits == kShortestPositionDigits ? FormatLead(position, kShortestPositionDigits, out)
                                                         : FormatLead(position, format.digits, out);
  ends[0] = used;
  if (format.width == 1 && !format.utf8) {
    // Sixteen bytes a column, of which the next column or the line end
    // overwrites the last two.
    for (int k = 0; k < count; ++k) {
      std::memcpy(out + used, byteColumns.text[bytes[k]], sizeof byteColumns.text[0]);
      ends[k + 1] = used += kByteColumnLength;
    }
  } else {
    used = FormatValueColumns(format, bytes, count, out, used, ends);
  }
  std::memcpy(out + used, kLineEnd.data(), kLineEnd.size());
  ends[count + 1] = used + kLineEnd.size();
  return ends[count + 1];
}
