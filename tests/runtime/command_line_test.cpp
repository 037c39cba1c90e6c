#include <gtest/gtest.h>
#include "runtime/parameters.h"

namespace {

// The command line as one string, as Windows hands it over: the parameters, whose count is -1 for an empty line.
TEST(CommandLine, CutsEveryRowIntoItsParameters) {
  const std::pair<std::string, std::vector<std::string>> rows[] = {
      {"ZEV  a\tb ", {"a", "b"}},
      {"\"C:\\My Tools\\ZEV.exe\" a.bin \"b c.bin\"", {"a.bin", "b c.bin"}},
      {"ZEV 'a b' c", {"a b", "c"}},
      {"ZEV \"a\"\"b\"", {"ab"}},
      {"ZEV \"\" x", {"", "x"}},
      {"ZEV a\"b c\"d", {"ab cd"}},
      {"ZEV \"it's\"", {"it's"}},
      {"ZEV it's a.bin b.bin", {"its a.bin b.bin"}},
      {"ZEV 'say \"hi\"'", {"say \"hi\""}},
      {"ZEV", {}},
      // Control bytes separate, high bytes do not, and the line ends at a NUL.
      {"ZEV\x01" "a\x1f" "b caf\xe9", {"a", "b", "caf\xe9"}},
      {std::string("ZEV a\0b c", 9), {"a"}}};
  for (const auto& [line, parameters] : rows) {
    SetParametersFromCommandLine("/opt/zev/zev", line);
    ASSERT_EQ(ParameterCount(), static_cast<int32_t>(parameters.size())) << line;
    for (int32_t i = 1; i <= ParameterCount(); ++i) EXPECT_EQ(ParameterText(i), parameters[i - 1]) << line;
    EXPECT_EQ(ParameterText(0), "/opt/zev/zev");
  }
  SetParametersFromCommandLine("/opt/zev/zev", " \t");
  EXPECT_TRUE(ParameterCount() == -1 && ParameterText(0) == "/opt/zev/zev" && ParameterText(1).empty());
  for (int32_t index : {-1, INT32_MIN}) EXPECT_EQ(ParameterText(index), "") << index;
}

}  // namespace
