#include <gtest/gtest.h>

#include "command_lines.h"
#include "runtime/parameters.h"

namespace {

TEST(CommandLine, CutsEveryRowIntoItsParameters) {
  for (const CommandLineRow& row : CommandLineRows()) {
    SetParametersFromCommandLine("/opt/zev/zev", row.line);
    ASSERT_EQ(ParameterCount(), row.count) << "line [" << row.line << "]";
    for (int32_t i = 1; i <= ParameterCount(); ++i) {
      EXPECT_EQ(ParameterText(i), row.parameters[static_cast<size_t>(i - 1)]) << "line [" << row.line << "] " << i;
    }
    EXPECT_EQ(ParameterText(0), "/opt/zev/zev");
  }
  // Indexes outside the list give the empty text.
  const char* argv[] = {"zev", "a", nullptr};
  SetParametersFromArguments("/usr/bin/zev", 2, argv);
  for (int32_t index : {2, -1, INT32_MAX, INT32_MIN}) EXPECT_EQ(ParameterText(index), "") << index;
  SetParametersFromArguments("/usr/bin/zev", 0, nullptr);
  EXPECT_TRUE(ParameterCount() == -1 && ParameterText(0) == "/usr/bin/zev" && ParameterText(1).empty());
}

}  // namespace
