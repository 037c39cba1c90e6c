// The reports for other programs: CSV (RFC 4180) and JSON Lines (RFC 8259
// objects, one a line).
#include <algorithm>
#include <charconv>
#include <cstring>

#include "console/terminal_text.h"
#include "report/report_format.h"
#include "shared/values.h"

namespace {

// A fixed text of a line, copied whole (the line's room is longer than
// any line) so that a copy is one move whatever its length.
struct FixedText {
  char bytes[16];
  size_t length;
};

constexpr FixedText Fixed(std::string_view text) {
  FixedText fixed{};
  std::copy(text.begin(), text.end(), fixed.bytes);
  fixed.length = text.size();
  return fixed;
}

// The fixed texts of a line, around its position and its values.
struct FormTexts {
  FixedText lead;
  FixedText beforeValues;
  FixedText between;
  FixedText end;         // after the values, line end included
  bool quotesNonFinite;  // JSON has no number for inf, -inf and nan
};

constexpr FormTexts kCsvTexts{Fixed(""), Fixed(","), Fixed(","), Fixed("\r\n"), false};
constexpr FormTexts kJsonTexts{Fixed("{\"offset\":"), Fixed(",\"values\":["), Fixed(","), Fixed("]}\n"), true};

char* Append(char* at, const FixedText& text) {
  std::memcpy(at, text.bytes, sizeof text.bytes);
  return at + text.length;
}

// The position in decimal, two digits a step from the lowest.
char* AppendDecimal(uint64_t value, char* at) {
  static constexpr char kPairs[] =
      "0001020304050607080910111213141516171819202122232425262728293031323334353637383940414243444546474849"
      "5051525354555657585960616263646566676869707172737475767778798081828384858687888990919293949596979899";
  int digits = 1;
  for (uint64_t power = 10; digits < 20 && value >= power; power *= 10) ++digits;
  char* end = at + digits;
  char* next = end;
  while (value >= 100) {
    next -= 2;
    std::memcpy(next, kPairs + 2 * (value % 100), 2);
    value /= 100;
  }
  if (value >= 10) {
    std::memcpy(next - 2, kPairs + 2 * value, 2);
  } else {
    next[-1] = static_cast<char>('0' + value);
  }
  return end;
}

// The decimal texts of the bytes, worked out once: a byte, the usual value,
// then takes one copy of four bytes.
struct ByteTexts {
  char text[256][4];
  uint8_t length[256];
};

constexpr ByteTexts BuildByteTexts() {
  ByteTexts texts{};
  for (int b = 0; b < 256; ++b) {
    const int length = b >= 100 ? 3 : b >= 10 ? 2 : 1;
    for (int i = length - 1, rest = b; i >= 0; --i, rest /= 10) texts.text[b][i] = static_cast<char>('0' + rest % 10);
    texts.length[b] = static_cast<uint8_t>(length);
  }
  return texts;
}

constexpr ByteTexts kByteTexts = BuildByteTexts();

// Every four-digit group, leading zeros kept.
struct FourDigits {
  char text[10000][4];
};

constexpr FourDigits BuildFourDigits() {
  FourDigits digits{};
  for (int n = 0; n < 10000; ++n) {
    for (int i = 3, rest = n; i >= 0; --i, rest /= 10) digits.text[n][i] = static_cast<char>('0' + rest % 10);
  }
  return digits;
}

constexpr FourDigits kFourDigits = BuildFourDigits();

char* AppendValue(const LineFormat& format, const uint8_t* bytes, bool quotesNonFinite, char* at) {
  if (format.width == 1) {
    std::copy_n(kByteTexts.text[*bytes], 4, at);
    return at + kByteTexts.length[*bytes];
  }
  const uint64_t value = ValueAt(bytes, format.width, format.bigEndian);
  if (!format.real) return std::to_chars(at, at + 20, value).ptr;
  char text[32];
  const int length = FormatReal(value, format.width, text);
  // Every finite value's text starts with a digit or a sign and a digit.
  const bool finite = text[length - 1] != 'n' && text[length - 1] != 'f';
  if (quotesNonFinite && !finite) *at++ = '"';
  at = std::copy_n(text, length, at);
  if (quotesNonFinite && !finite) *at++ = '"';
  return at;
}

// A CSV field: as it is, or between quotes with its quotes doubled when it
// holds a comma, a quote or a line break.
std::string CsvField(std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
  std::string field = "\"";
  for (const char character : text) {
    field += character;
    if (character == '"') field += '"';
  }
  return field + '"';
}

// A JSON string of the text's bytes: valid UTF-8 passes, quotes, backslashes
// and control characters are escaped, and a byte that is not part of a
// valid UTF-8 character becomes U+FFFD.
std::string JsonString(std::string_view text) {
  std::string json = "\"";
  for (size_t at = 0; at < text.size();) {
    char32_t code = 0;
    const int length = DecodeUtf8Character(text, at, &code);
    if (length == 0) {
      json += "\\ufffd";
      ++at;
      continue;
    }
    if (code == '"' || code == '\\') {
      json += '\\';
      json += static_cast<char>(code);
    } else if (code < 0x20) {
      constexpr char kDigits[] = "0123456789abcdef";
      json += "\\u00";
      json += kDigits[code >> 4];
      json += kDigits[code & 0xF];
    } else {
      json.append(text.substr(at, static_cast<size_t>(length)));
    }
    at += static_cast<size_t>(length);
  }
  return json + '"';
}

}  // namespace

std::string FormHeader(const LineFormat& format, const std::string* names, int count, int64_t startOffset) {
  std::string header;
  if (format.form == ReportForm::kCsv) {
    header = "offset";
    for (int k = 0; k < count; ++k) header += "," + CsvField(names[k]);
    return header + "\r\n";
  }
  header = "{\"files\":[";
  for (int k = 0; k < count; ++k) header += (k == 0 ? "" : ",") + JsonString(names[k]);
  header += "],\"width\":" + std::to_string(format.width);
  header += std::string(",\"byte_order\":") + (format.bigEndian ? "\"big\"" : "\"little\"");
  header += std::string(",\"real\":") + (format.real ? "true" : "false");
  return header + ",\"offset\":" + std::to_string(startOffset) + "}\n";
}

size_t FormatFormLine(const LineFormat& format, uint64_t position, const uint8_t* bytes, int count, char* out,
                      size_t* ends) {
  const FormTexts& texts = format.form == ReportForm::kCsv ? kCsvTexts : kJsonTexts;
  char* at = Append(out, texts.lead);
  // Positions follow each other closely: all but their last four digits
  // are mostly those of the line before, kept written out.
  static struct {
    uint64_t upper = 0;
    char text[24] = {};
    size_t length = 0;
  } before;
  const uint64_t upper = position / 10000;
  if (upper == 0) {
    at = AppendDecimal(position, at);
  } else {
    if (upper != before.upper) {
      before.upper = upper;
      before.length = static_cast<size_t>(AppendDecimal(upper, before.text) - before.text);
    }
    std::memcpy(at, before.text, sizeof before.text);
    at += before.length;
    std::memcpy(at, kFourDigits.text[position % 10000], 4);
    at += 4;
  }
  ends[0] = static_cast<size_t>(at - out);
  for (int k = 0; k < count; ++k) {
    at = Append(at, k == 0 ? texts.beforeValues : texts.between);
    at = AppendValue(format, bytes + k * format.width, texts.quotesNonFinite, at);
    ends[k + 1] = static_cast<size_t>(at - out);
  }
  at = Append(at, texts.end);
  ends[count + 1] = static_cast<size_t>(at - out);
  return ends[count + 1];
}
