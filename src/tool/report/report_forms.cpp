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

// Every four-digit group, leading zeros kept: the last four digits of a
// position, and (from its first digit on) a byte value.
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
    // Four bytes copied from the first digit on, of which the next text
    // overwrites those past the value.
    const int digits = 1 + (*bytes >= 10) + (*bytes >= 100);
    std::memcpy(at, kFourDigits.text[*bytes] + 4 - digits, 4);
    return at + digits;
  }
  const uint64_t value = ValueAt(bytes, format.width, format.bigEndian);
  if (!format.real) return std::to_chars(at, at + 20, value).ptr;
  char text[32];
  const int length = FormatReal(value, format.width, text);
  // Every finite value's text ends with a digit; inf and nan do not.
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
    at = std::to_chars(at, at + 20, position).ptr;
  } else {
    if (upper != before.upper) {
      before.upper = upper;
      before.length = static_cast<size_t>(std::to_chars(before.text, before.text + 20, upper).ptr - before.text);
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
