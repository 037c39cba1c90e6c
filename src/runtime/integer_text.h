// Conversion of integer texts: decimal, $hexadecimal, %binary, &octal.
#pragma once

#include <cstdint>
#include <string_view>

struct IntegerTextResult {
  int32_t value;          // 0 whenever errorPosition is not 0
  int32_t errorPosition;  // 0 on success, else the 1-based index where it stopped
};

IntegerTextResult ParseIntegerText(std::string_view text);
