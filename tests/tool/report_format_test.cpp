#include "report/report_format.h"

#include <gtest/gtest.h>

// Positions take eight digits while they fit, and one more for each further four bits.
TEST(Report, PositionDigitsOnEitherSideOfEachStep) {
  const struct {
    int64_t largest;
    int digits;
  } rows[] = {{.largest = 0, .digits = 8},
              {.largest = 0xFFFFFFFF, .digits = 8},
              {.largest = 0x100000000, .digits = 9},
              {.largest = 0xFFFFFFFFF, .digits = 9},
              {.largest = 0x1000000000, .digits = 10},
              {.largest = INT64_MAX, .digits = 16}};
  for (const auto& row : rows) EXPECT_EQ(PositionDigits(row.largest), row.digits) << row.largest;
}
