#include <gtest/gtest.h>
#include "runtime/parameters.h"

namespace {

// The command line as one string, as Windows hands it over, cut into parameters.
TEST(CommandLine, CutsEveryRowIntoItsParameters) {
  const struct {
    std::string line;
    std::vector<std::string> parameters;
    int32_t count;  // -1 for an empty line
  } rows[] = {
      {"ZEV a b", {"a", "b"}, 2}, {"ZEV  a\tb ", {"a", "b"}, 2},
      {"\"C:\\My Tools\\ZEV.exe\" a.bin \"b c.bin\"", {"a.bin", "b c.bin"}, 2}, {"ZEV 'a b' c", {"a b", "c"}, 2},
      {"ZEV a\"\"b", {"ab"}, 1}, {"ZEV \"a\"\"b\"", {"ab"}, 1}, {"ZEV \"\" x", {"", "x"}, 2}, {"ZEV \"\"\"\"", {""}, 1},
      {"ZEV a\"b c\"d", {"ab cd"}, 1}, {"ZEV \"it's\"", {"it's"}, 1}, {"ZEV it's a.bin b.bin", {"its a.bin b.bin"}, 1},
      {"ZEV -o:$10 -f:\"out file.txt\"", {"-o:$10", "-f:out file.txt"}, 2}, {"ZEV", {}, 0}, {"", {}, -1},
      // Control bytes separate, high bytes do not, the line ends at a NUL,
      // the first token is dropped whatever it is, a parameter has no limit.
      {"ZEV\x01" "a\x1f" "b", {"a", "b"}, 2}, {"ZEV caf\xe9 \xb3\xff", {"caf\xe9", "\xb3\xff"}, 2},
      {std::string("ZEV a\0b c", 9), {"a"}, 1}, {"   \t ", {}, -1}, {"\"\" a", {"a"}, 1}, {"ZEV \"a 'b' c\"", {"a 'b' c"}, 1},
      {"ZEV 'say \"hi\"'", {"say \"hi\""}, 1}, {"ZEV ''''", {""}, 1}, {"ZEV \"open to the end  ", {"open to the end  "}, 1},
      {"ZEV " + std::string(10000, 'n'), {std::string(10000, 'n')}, 1},
  };
  for (const auto& row : rows) {
    SetParametersFromCommandLine("/opt/zev/zev", row.line);
    ASSERT_EQ(ParameterCount(), row.count) << "line [" << row.line << "]";
    for (int32_t i = 1; i <= ParameterCount(); ++i) EXPECT_EQ(ParameterText(i), row.parameters[i - 1]) << row.line << " " << i;
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
