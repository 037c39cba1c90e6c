// Command lines as the platform hands them over in one string, and the
// parameters they are cut into: for the unit test and for the Windows
// programs, which take their command line from the platform.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct CommandLineRow {
  std::string line;
  std::vector<std::string> parameters;
  int32_t count;  // -1 for an empty line
};

inline std::vector<CommandLineRow> CommandLineRows() {
  return {
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
      // Control bytes separate, high bytes do not, the line ends at a NUL,
      // the first token is dropped whatever it is, and a parameter has no
      // length limit.
      {"ZEV\x01" "a\x1f" "b", {"a", "b"}, 2},
      {"ZEV caf\xe9 \xb3\xff", {"caf\xe9", "\xb3\xff"}, 2},
      {std::string("ZEV a\0b c", 9), {"a"}, 1},
      {"\"\" a", {"a"}, 1},
      {"ZEV \"a 'b' c\"", {"a 'b' c"}, 1},
      {"ZEV 'say \"hi\"'", {"say \"hi\""}, 1},
      {"ZEV ''''", {""}, 1},
      {"ZEV \"open to the end  ", {"open to the end  "}, 1},
      {"ZEV " + std::string(10000, 'n'), {std::string(10000, 'n')}, 1},
  };
}
