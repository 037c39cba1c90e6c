#include "runtime/integer_text.h"

namespace {

constexpr size_t kSignificantLength = 255;
constexpr uint64_t kDecimalLimit = 2147483647u;
constexpr uint64_t kNegativeDecimalLimit = 2147483648u;
constexpr uint64_t kUnsignedLimit = 4294967295u;

// The value of a digit character in any base up to 16, or 16 for none.
unsigned DigitValue(char character) {
  if (character >= '0' && character <= '9') return static_cast<unsigned>(character - '0');
  if (character >= 'A' && character <= 'F') return static_cast<unsigned>(character - 'A' + 10);
  if (character >= 'a' && character <= 'f') return static_cast<unsigned>(character - 'a' + 10);
  return 16;
}

IntegerTextResult FailedAt(size_t index) { return {0, static_cast<int32_t>(index + 1)}; }

// Blanks and tabs first, a sign, a base prefix, then digits whose
// magnitude may not pass the limit that limitFor gives for the base and
// the sign. Stops at the first character that breaks a rule.
struct ScannedText {
  size_t failedAt;  // the index of that character, or npos
  bool negative;
  uint64_t magnitude;
};

template <class LimitFor>
ScannedText ScanIntegerText(std::string_view text, LimitFor limitFor) {
  if (text.size() > kSignificantLength) text = text.substr(0, kSignificantLength);

  size_t at = 0;
  while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) ++at;

  bool negative = false;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
    negative = text[at] == '-';
    ++at;
  }

  unsigned base = 10;
  if (at < text.size()) {
    switch (text[at]) {
      case '$':
        base = 16;
        ++at;
        break;
      case '%':
        base = 2;
        ++at;
        break;
      case '&':
        base = 8;
        ++at;
        break;
      default:
        break;
    }
  }

  if (at >= text.size()) return {text.size(), negative, 0};

  const uint64_t limit = limitFor(base, negative);
  uint64_t magnitude = 0;
  for (; at < text.size(); ++at) {
    unsigned digit = DigitValue(text[at]);
    if (digit >= base || magnitude > (limit - digit) / base) return {at, negative, 0};
    magnitude = magnitude * base + digit;
  }
  return {std::string_view::npos, negative, magnitude};
}

}  // namespace

IntegerTextResult ParseIntegerText(std::string_view text) {
  // Hexadecimal, binary and octal texts may use the full 32 bits, so that
  // $FFFFFFFF reads as -1; decimal texts must fit the signed range.
  const ScannedText scanned = ScanIntegerText(text, [](unsigned base, bool negative) {
    if (base != 10) return kUnsignedLimit;
    return negative ? kNegativeDecimalLimit : kDecimalLimit;
  });
  if (scanned.failedAt != std::string_view::npos) return FailedAt(scanned.failedAt);
  uint32_t bits = static_cast<uint32_t>(scanned.magnitude);
  if (scanned.negative) bits = 0u - bits;
  return {static_cast<int32_t>(bits), 0};
}

WideIntegerText ParseWideIntegerText(std::string_view text) {
  const ScannedText scanned = ScanIntegerText(text, [](unsigned, bool) { return ~uint64_t{0}; });
  return {scanned.failedAt == std::string_view::npos, scanned.negative, scanned.magnitude};
}
