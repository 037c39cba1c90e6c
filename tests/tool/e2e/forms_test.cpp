// Reports for other programs (-m:csv, -m:jsonl): runs with no terminal at all, where the report goes, and
// messages and stops on standard error with their exit codes; --help and --version for scripts.
#include "e2e_support.h"

namespace e2e {
namespace {

class Forms : public ZevTest {
 protected:
  void SetUp() override {
    MakeInput("a", "abc");
    MakeInput("b", "aXc");
    MakeInput("c", std::string("\0\0\xC0\x3F\0\0\x80\x7F", 8));                         // 1.5, inf
    MakeInput("d", std::string("\0\0\x80\xFF\0\0\xC0\x7F", 8));                         // -inf, nan
    MakeInput("e", std::string("\xEC\x78\xAD\x60\x95\xBF\xD6\x33\0\x80\x3B\x46", 12));  // 1E20, 1E-7, 12000
    MakeInput("f", std::string("\0\0\xC8\x42\xCD\xCC\x4C\x3D\0\0\x40\x41", 12));        // 100, 0.05, 12
  }
  RunResult Detached(const std::vector<std::string>& args) {
    harness::RunOptions options = Options(args, StdoutMode::Pipe);
    options.controllingTerminal = false;
    return Run(options);
  }
};

const std::string kCsv = "offset,a,b\r\n1,98,88\r\n";
const std::string kJson =
    "{\"files\":[\"a\",\"b\"],\"width\":1,\"byte_order\":\"little\",\"real\":false,\"offset\":0}\n"
    "{\"offset\":1,\"values\":[98,88]}\n";

TEST_F(Forms, WithoutATerminal) {
  const struct {
    std::vector<std::string> args;
    int exitCode;
    std::string standardOutput = "", standardError = "";
  } cases[] = {
      {.args = {"a", "b", "-m:csv"}, .exitCode = 0, .standardOutput = kCsv},
      {.args = {"-f:", "a", "-m:jsonl", "b"}, .exitCode = 0, .standardOutput = kJson},
      {.args = {"a", "b", "-m:csv", "-f:out.csv"}, .exitCode = 0},
      {.args = {"c", "d", "-w:4", "-r", "-m:csv"},
       .exitCode = 0,
       .standardOutput = "offset,c,d\r\n0,1.5,-inf\r\n4,inf,nan\r\n"},
      {.args = {"c", "d", "-w:4", "-r", "-m:jsonl"},
       .exitCode = 0,
       .standardOutput = "{\"files\":[\"c\",\"d\"],\"width\":4,\"byte_order\":\"little\",\"real\":true,\"offset\":0}\n"
                         "{\"offset\":0,\"values\":[1.5,\"-inf\"]}\n{\"offset\":4,\"values\":[\"inf\",\"nan\"]}\n"},
      // Plainly where that is no longer, a whole number without a point; with an exponent where it is shorter.
      {.args = {"e", "f", "-w:4", "-r", "-m:csv"},
       .exitCode = 0,
       .standardOutput = "offset,e,f\r\n0,1E20,100\r\n4,1E-7,0.05\r\n8,12000,12\r\n"},
      {.args = {"a", "b", "-m"}, .exitCode = 1, .standardError = "Unknown Parameter: -m\r\n"},
      {.args = {"a", "-m:csv"}, .exitCode = 1, .standardError = "Count of files must be 2 or more\r\n"},
      {.args = {"a", "b", "-m:xml"}, .exitCode = 1, .standardError = "Unknown Parameter: -m:xml\r\n"},
      {.args = {"a", "b", "-m:csv", "-o:4"}, .exitCode = 1, .standardError = "Nothing to compare\r\n"},
      {.args = {"a", "missing", "-m:jsonl"}, .exitCode = 1, .standardError = "Can't open file: missing\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args.back());
    const RunResult result = Detached(c.args);
    EXPECT_EQ(result.exitCode, c.exitCode);
    EXPECT_EQ(result.stdoutBytes, c.standardOutput);
    EXPECT_EQ(result.stderrBytes, c.standardError);
  }
  EXPECT_EQ(harness::ReadFile(Path("out.csv")), kCsv);
  // A stop has its lines and its number on standard error; standard output stays the report's.
  const RunResult stop = Detached({"a", "b", "-m:csv", "-f:missing/r.csv"});
  EXPECT_TRUE(stop.exitCode == 3 && stop.stdoutBytes.empty() && ParseStop(stop.stderrBytes).number == 3)
      << stop.stderrBytes;
  // Nothing is written onto an input: standard output put there is refused, standard error there takes nothing.
  harness::RunOptions options = Options({"a", "b", "-m:csv"}, StdoutMode::Pipe);
  options.controllingTerminal = false;
  const RunResult onInput = RunInShell(R"("$0" "$@" >> a)", options);
  EXPECT_TRUE(onInput.exitCode == 5 && ParseStop(onInput.stderrBytes).number == 5) << onInput.stderrBytes;
  options.args.push_back("-f:missing/r.csv");
  EXPECT_EQ(RunInShell(R"("$0" "$@" 2>> b)", options).exitCode, 3);
}

// With a terminal, the same bytes reach it, and no banner or colour with them.
TEST_F(Forms, OnATerminalAsWithout) {
  const RunResult result = Run({"a", "b", "-m:csv"});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_TRUE(result.RowText(0) == "offset,a,b" && result.RowText(1) == "1,98,88" && result.RowText(2).empty());
  harness::ExpectColours(result, 0, 0, 10, -1, -1);
}

// On Linux --help and --version alone are plain text on standard output, even with no terminal: the help names
// every switch, in 80 columns, with two examples and where the manual page is.
TEST_F(Forms, HelpAndVersionAlone) {
  if (OnWindows()) return ExpectFatal(Run({"a", "b", "--help"}), "Unknown Parameter: --help");
  const RunResult version = Detached({"--version"});
  EXPECT_TRUE(version.exitCode == 0 && version.stdoutBytes == "zev 1.0\n" && version.terminalBytes.empty())
      << version.stdoutBytes;
  const RunResult help = Detached({"--help"});
  EXPECT_TRUE(help.exitCode == 0 && help.terminalBytes.empty());
  EXPECT_EQ(help.stdoutBytes,
            "Usage: zev FILE1 FILE2 [FILE3 .. FILE10] [SWITCH ..]\n"
            "Compares two to ten files byte by byte and lists the positions where they\n"
            "differ, or where their values rise, fall or step from the first file on.\n"
            "\n"
            "Switches:\n"
            "  -a            values rise from each file to the next\n"
            "  -d            values fall from each file to the next\n"
            "  -s[:n]        values change by one constant step, of n when given\n"
            "  -p:pattern    a step a character: + rises, - falls, = stays, ! changes, * any\n"
            "  -v:list       the values the files hold, one a file: n, lo..hi, ..hi, lo..\n"
            "  -w:n          values of n bytes: 1 (the default), 2, 4 or 8\n"
            "  -b            values read most significant byte first\n"
            "  -r            values are IEEE 754 numbers, with -w:4 or -w:8\n"
            "  -o:n          start at byte offset n\n"
            "  -f:name       report file; by default the console (standard output with -m:)\n"
            "  -m:csv        the report as CSV (RFC 4180), without a console\n"
            "  -m:jsonl      the report as JSON Lines, without a console\n"
            "  --help        this text\n"
            "  --version     the version\n"
            "\n"
            "Examples:\n"
            "  zev old.sav new.sav             every byte that differs\n"
            "  zev a.sav b.sav c.sav -w:2 -a   16-bit values that rise from a to c\n"
            "\n"
            "The manual page: man zev\n");
  for (const char* option : {"--help", "--version"}) {  // an answer that cannot be written is no success
    EXPECT_EQ(RunInShell(R"("$0" "$@" > /dev/full)", Options({option})).exitCode, 101) << option;
  }
  ExpectFatal(Run({"--version", "--help"}), "Unknown Parameter: --version");
}

}  // namespace
}  // namespace e2e
