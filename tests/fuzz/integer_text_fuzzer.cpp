// ParseIntegerText against a long-hand reading of the same rules: every text gives the same value and position.
#include <cstdint>
#include <string_view>

#include "runtime/integer_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view whole(reinterpret_cast<const char*>(data), size), text = whole.substr(0, 255);
  size_t i = text.find_first_not_of(" \t");
  i = i == std::string_view::npos ? text.size() : i;
  const bool negative = i < text.size() && text[i] == '-';
  i += i < text.size() && (text[i] == '+' || text[i] == '-');
  const size_t prefix = i < text.size() ? std::string_view("$%&").find(text[i]) : std::string_view::npos;
  const unsigned base = prefix == 0 ? 16 : prefix == 1 ? 2 : prefix == 2 ? 8 : 10;
  i += prefix != std::string_view::npos;
  // The magnitude compared with the limit as a whole number, however long the text.
  __extension__ using Wide = unsigned __int128;
  const Wide limit = base != 10 ? 0xFFFFFFFFu : negative ? 2147483648u : 2147483647u;
  Wide magnitude = 0;
  int32_t position = i >= text.size() ? static_cast<int32_t>(text.size() + 1) : 0;
  for (; i < text.size() && position == 0; ++i) {
    const char c = text[i];
    const unsigned digit = c >= '0' && c <= '9'   ? c - '0'
                           : c >= 'a' && c <= 'f' ? c - 'a' + 10
                           : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                  : 99;
    magnitude = magnitude * base + digit;
    if (digit >= base || magnitude > limit) position = static_cast<int32_t>(i + 1);
  }
  const uint32_t bits = static_cast<uint32_t>(magnitude);
  const int32_t value = position ? 0 : static_cast<int32_t>(negative ? 0u - bits : bits);
  const IntegerTextResult got = ParseIntegerText(whole);
  if (got.value != value || got.errorPosition != position) __builtin_trap();
  return 0;
}
