// ParseIntegerText against a long-hand reading of the same rules, written
// apart from the code: every text gives the same value and error position.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/integer_text.h"

namespace {

int DigitValue(unsigned char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 99;
}

IntegerTextResult Reference(std::string_view text) {
  if (text.size() > 255) text = text.substr(0, 255);
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  int base = 10;
  if (i < text.size()) {
    if (text[i] == '$') base = 16, ++i;
    else if (text[i] == '%') base = 2, ++i;
    else if (text[i] == '&') base = 8, ++i;
  }
  if (i >= text.size()) return {0, static_cast<int32_t>(text.size() + 1)};
  // Unbounded arithmetic: the magnitude is compared with the limit as a
  // whole number, however long the text.
  const unsigned __int128 limit = base != 10 ? 0xFFFFFFFFu : negative ? 2147483648u : 2147483647u;
  unsigned __int128 magnitude = 0;
  for (; i < text.size(); ++i) {
    const int digit = DigitValue(static_cast<unsigned char>(text[i]));
    if (digit >= base) return {0, static_cast<int32_t>(i + 1)};
    magnitude = magnitude * static_cast<unsigned>(base) + static_cast<unsigned>(digit);
    if (magnitude > limit) return {0, static_cast<int32_t>(i + 1)};
  }
  uint32_t bits = static_cast<uint32_t>(magnitude);
  if (negative) bits = 0u - bits;
  int32_t value;
  __builtin_memcpy(&value, &bits, sizeof value);
  return {value, 0};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const IntegerTextResult got = ParseIntegerText(text);
  const IntegerTextResult expected = Reference(text);
  if (got.value != expected.value || got.errorPosition != expected.errorPosition) __builtin_trap();
  return 0;
}
