// ParseIntegerText against a long-hand reading of the same rules, written
// apart from the code: every text gives the same value and error position.
#include <cstdint>
#include <string_view>
#include "runtime/integer_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  text = text.substr(0, 255);
  IntegerTextResult expected = {0, 0};
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  const bool negative = i < text.size() && text[i] == '-';
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  const size_t prefix = i < text.size() ? std::string_view("$%&").find(text[i]) : std::string_view::npos;
  const unsigned base = prefix == 0 ? 16 : prefix == 1 ? 2 : prefix == 2 ? 8 : 10;
  i += prefix != std::string_view::npos;
  // Unbounded arithmetic: the magnitude is compared with the limit as a whole number, however long the text.
  const unsigned __int128 limit = base != 10 ? 0xFFFFFFFFu : negative ? 2147483648u : 2147483647u;
  unsigned __int128 magnitude = 0;
  if (i >= text.size()) expected.errorPosition = static_cast<int32_t>(text.size() + 1);
  for (; i < text.size() && expected.errorPosition == 0; ++i) {
    const char c = text[i];
    const unsigned digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : 99;
    magnitude = magnitude * base + digit;
    if (digit >= base || magnitude > limit) expected.errorPosition = static_cast<int32_t>(i + 1);
  }
  if (expected.errorPosition == 0) expected.value = static_cast<int32_t>(negative ? 0u - static_cast<uint32_t>(magnitude) : static_cast<uint32_t>(magnitude));
  const IntegerTextResult got = ParseIntegerText(std::string_view(reinterpret_cast<const char*>(data), size));
  if (got.value != expected.value || got.errorPosition != expected.errorPosition) __builtin_trap();
  return 0;
}
