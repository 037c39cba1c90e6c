#include <gtest/gtest.h>

#include "runtime/io_error.h"
#include "runtime/parameters.h"

namespace {

// The command line as one string, as Windows hands it over, where the command-line fuzzer's rules do not reach:
// single quotes, a lone quote that runs to the end, and the count of no parameters, -1 for an empty line.
TEST(CommandLine, CutsEveryRowIntoItsParameters) {
  const std::pair<std::string, std::vector<std::string>> rows[] = {{"ZEV 'a b' c", {"a b", "c"}},
                                                                   {"ZEV it's a.bin b.bin", {"its a.bin b.bin"}},
                                                                   {"ZEV 'say \"hi\"'", {"say \"hi\""}},
                                                                   {"ZEV", {}}};
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

// The failure a run stops with is the first one: a later failure, while it is pending, changes nothing.
TEST(IoError, TheFirstFailureStands) {
  StoreIoError(2);
  StoreIoError(3);
  EXPECT_EQ(TakeIoError(), 2);
  EXPECT_EQ(TakeIoError(), 0);
}
