#include <gtest/gtest.h>
#include "runtime/integer_text.h"

namespace {

TEST(IntegerText, ConvertsEveryRowAsTheRulesSay) {
  const int32_t kMin = -2147483647 - 1;
  const std::tuple<std::string, int32_t, int32_t> rows[] = {  // text, value, error position
      {"", 0, 1},        {"100", 100, 0},   {"+100", 100, 0},  {"-100", -100, 0}, {" 12", 12, 0},    {"\t12", 12, 0},
      {"12 ", 0, 3},     {"12x", 0, 3},     {"- 5", 0, 2},     {"+-5", 0, 2},     {"$FF", 255, 0},   {"$ff", 255, 0},
      {"$00010", 16, 0}, {"$", 0, 2},       {"$-1", 0, 2},     {"-$10", -16, 0},  {"%101", 5, 0},    {"%102", 0, 4},
      {"&17", 15, 0},    {"&8", 0, 2},      {"0x10", 0, 2},    {"ff", 0, 1},      {"2147483647", 2147483647, 0},
      {"2147483648", 0, 10}, {"-2147483648", kMin, 0}, {"-2147483649", 0, 11}, {"$7FFFFFFF", 2147483647, 0},
      {"$80000000", kMin, 0}, {"$FFFFFFFF", -1, 0}, {"$100000000", 0, 10}, {"-$FFFFFFFF", 1, 0}, {"&37777777777", -1, 0},
      {std::string(254, '0') + "12", 1, 0},
      // Beyond the table: the rules the rows imply at their edges.
      {"-$80000000", kMin, 0}, {"%11111111111111111111111111111111", -1, 0}, {"%111111111111111111111111111111111", 0, 34},
      {"&40000000000", 0, 12}, {"  ", 0, 3}, {"-", 0, 2}, {"--5", 0, 2}, {" \t 7", 7, 0}, {"1 2", 0, 2}, {"$aBc", 0xABC, 0},
      {"$G", 0, 2}, {"%2", 0, 2}, {std::string(255, ' ') + "5", 0, 256}, {std::string(253, ' ') + "12x", 12, 0}};
  for (const auto& [text, value, errorPosition] : rows) {
    const IntegerTextResult result = ParseIntegerText(text);
    EXPECT_TRUE(result.value == value && result.errorPosition == errorPosition)
        << "text \"" << text << "\": " << result.value << " at " << result.errorPosition;
  }
}

}  // namespace
