// A value as the run reads it: width bytes (1, 2, 4 or 8) in the byte
// order asked for, compared and shown as an unsigned integer, or with -r
// as an IEEE 754 real number.
#pragma once

#include <bit>
#include <cstdint>

// The value of width bytes at at, in the byte order asked for.
inline uint64_t ValueAt(const uint8_t* at, int width, bool bigEndian) {
  uint64_t value = 0;
  for (int i = 0; i < width; ++i) value = value << 8 | at[bigEndian ? i : width - 1 - i];
  return value;
}

// The largest value of width bytes: all its bits set.
constexpr uint64_t LargestValue(int width) { return width >= 8 ? ~uint64_t{0} : (uint64_t{1} << (8 * width)) - 1; }

// The number that a real value's bits stand for: binary32 with width 4,
// else binary64.
inline double RealValue(uint64_t bits, int width) {
  return width == 4 ? std::bit_cast<float>(static_cast<uint32_t>(bits)) : std::bit_cast<double>(bits);
}

// The bits of a number as a real value of the width, rounded to its precision.
inline uint64_t RealBits(double value, int width) {
  return width == 4 ? std::bit_cast<uint32_t>(static_cast<float>(value)) : std::bit_cast<uint64_t>(value);
}
