#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/parameters.h"

namespace {

struct CommandLineCase {
  std::string line;
  std::vector<std::string> parameters;
  int32_t count;
};

class CommandLineTable : public testing::TestWithParam<CommandLineCase> {};

TEST_P(CommandLineTable, CutsIntoParameters) {
  const CommandLineCase& row = GetParam();
  SetParametersFromCommandLine("/opt/zev/zev", row.line);
  ASSERT_EQ(ParameterCount(), row.count) << "line [" << row.line << "]";
  for (int32_t i = 1; i <= ParameterCount(); ++i) {
    EXPECT_EQ(ParameterText(i), row.parameters[static_cast<size_t>(i - 1)])
        << "line [" << row.line << "] parameter " << i;
  }
  EXPECT_EQ(ParameterText(0), "/opt/zev/zev");
}

const CommandLineCase kTable[] = {
    {"ZEV a b", {"a", "b"}, 2},
    {"ZEV  a\tb ", {"a", "b"}, 2},
    {"\"C:\\My Tools\\ZEV.exe\" a.bin \"b c.bin\"", {"a.bin", "b c.bin"}, 2},
    {"ZEV 'a b' c", {"a b", "c"}, 2},
    {"ZEV a\"\"b", {"ab"}, 1},
    {"ZEV \"a\"\"b\"", {"ab"}, 1},
    {"ZEV \"\" x", {"", "x"}, 2},
    {"ZEV \"\"\"\"", {""}, 1},
    {"ZEV a\"b c\"d", {"ab cd"}, 1},
    {"ZEV \"it's\"", {"it's"}, 1},
    {"ZEV it's a.bin b.bin", {"its a.bin b.bin"}, 1},
    {"ZEV -o:$10 -f:\"out file.txt\"", {"-o:$10", "-f:out file.txt"}, 2},
    {"ZEV", {}, 0},
    {"", {}, -1},
    // Beyond the table: control bytes separate, high bytes do not, the
    // line ends at a NUL, and the first token is dropped whatever it is.
    {"ZEV\x01" "a\x1f" "b", {"a", "b"}, 2},
    {"ZEV \xb3\xff", {"\xb3\xff"}, 1},
    {std::string("ZEV a\0b c", 9), {"a"}, 1},
    {"   \t ", {}, -1},
    {"\"\" a", {"a"}, 1},
    {"ZEV \"a 'b' c\"", {"a 'b' c"}, 1},
    {"ZEV 'say \"hi\"'", {"say \"hi\""}, 1},
    {"ZEV ''''", {""}, 1},
    {"ZEV \"open to the end  ", {"open to the end  "}, 1},
};

INSTANTIATE_TEST_SUITE_P(Rows, CommandLineTable, testing::ValuesIn(kTable));

TEST(ParameterList, ArgumentsArePassedExactlyAsDelivered) {
  const char* argv[] = {"zev-as-typed", "a b", "", "\"q\"", "-o:$10", nullptr};
  SetParametersFromArguments("/usr/bin/zev", 5, argv);
  ASSERT_EQ(ParameterCount(), 4);
  EXPECT_EQ(ParameterText(0), "/usr/bin/zev");
  EXPECT_EQ(ParameterText(1), "a b");
  EXPECT_EQ(ParameterText(2), "");
  EXPECT_EQ(ParameterText(3), "\"q\"");
  EXPECT_EQ(ParameterText(4), "-o:$10");
}

TEST(ParameterList, IndexesOutsideTheListGiveTheEmptyText) {
  const char* argv[] = {"zev", "a", nullptr};
  SetParametersFromArguments("/usr/bin/zev", 2, argv);
  EXPECT_EQ(ParameterText(2), "");
  EXPECT_EQ(ParameterText(-1), "");
  EXPECT_EQ(ParameterText(INT32_MAX), "");
  EXPECT_EQ(ParameterText(INT32_MIN), "");
}

TEST(ParameterList, AnEmptyArgumentVectorCountsMinusOne) {
  SetParametersFromArguments("/usr/bin/zev", 0, nullptr);
  EXPECT_EQ(ParameterCount(), -1);
  EXPECT_EQ(ParameterText(0), "/usr/bin/zev");
  EXPECT_EQ(ParameterText(1), "");
}

TEST(ParameterList, LongParametersAreKeptWhole) {
  std::string longName(10000, 'n');
  SetParametersFromCommandLine("zev", "ZEV " + longName);
  ASSERT_EQ(ParameterCount(), 1);
  EXPECT_EQ(ParameterText(1), longName);
}

}  // namespace
