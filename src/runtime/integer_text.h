// Conversion of integer texts: decimal, $hexadecimal, %binary, &octal.
#pragma once

#include <cstdint>
#include <string_view>

struct IntegerTextResult {
  int32_t value;          // 0 whenever errorPosition is not 0
  int32_t errorPosition;  // 0 on success, else the 1-based index where it stopped
};

IntegerTextResult ParseIntegerText(std::string_view text);

// The same texts as a sign and a magnitude of up to 64 bits in any base,
// for values wider than the 32-bit results above.
struct WideIntegerText {
  bool valid;  // false: not an integer text, or past 64 bits
  bool negative;
  uint64_t magnitude;
};

WideIntegerText ParseWideIntegerText(std::string_view text);
