#include <gtest/gtest.h>
#include "runtime/integer_text.h"

namespace {

// Every limit from inside and from just outside: the text, its value and the error position.
TEST(IntegerText, ConvertsEveryRowAsTheRulesSay) {
  const std::string zeros(254, '0');
  const std::tuple<std::string, int32_t, int32_t> rows[] = {
      {"", 0, 1},          {"+100", 100, 0},      {"-100", -100, 0},   {" \t12", 12, 0},    {"12 ", 0, 3},
      {"- 5", 0, 2},       {"+-5", 0, 2},         {"$ff", 255, 0},     {"$aBcDeF", 0xABCDEF, 0},
      {"$", 0, 2},         {"$-1", 0, 2},         {"-$10", -16, 0},    {"%101", 5, 0},      {"%102", 0, 4},
      {"&17", 15, 0},      {"&8", 0, 2},          {"0x10", 0, 2},      {"$G", 0, 2},        {"  ", 0, 3},
      {"2147483647", 2147483647, 0},              {"2147483648", 0, 10},
      {"-2147483648", INT32_MIN, 0},              {"-2147483649", 0, 11},
      {"$FFFFFFFF", -1, 0},                       {"$100000000", 0, 10},
      {"-$80000000", INT32_MIN, 0},               {"-$FFFFFFFF", 1, 0},
      {"&37777777777", -1, 0},                    {"&40000000000", 0, 12},
      {std::string(32, '1').insert(0, "%"), -1, 0}, {std::string(33, '1').insert(0, "%"), 0, 34},
      {zeros + "12", 1, 0},                       {zeros.substr(1) + "12", 12, 0},
      {std::string(255, ' ') + "5", 0, 256}};
  for (const auto& [text, value, errorPosition] : rows) {
    const IntegerTextResult result = ParseIntegerText(text);
    EXPECT_TRUE(result.value == value && result.errorPosition == errorPosition)
        << "text \"" << text << "\": " << result.value << " at " << result.errorPosition;
  }
}

}  // namespace
