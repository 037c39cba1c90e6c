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
    MakeInput("f", std::string("\0\0\xC8\x42\xCD\xCC\x4C\x3D\0\0\xC0\x3F", 12));        // 100, 0.05, 1.5
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
      // Plainly where that is no longer, with an exponent where it is shorter.
      {.args = {"e", "f", "-w:4", "-r", "-m:csv"},
       .exitCode = 0,
       .standardOutput = "offset,e,f\r\n0,1E20,100\r\n4,1E-7,0.05\r\n8,12000,1.5\r\n"},
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
// every switch, in 80 columns.
TEST_F(Forms, HelpAndVersionAlone) {
  if (OnWindows()) return ExpectFatal(Run({"a", "b", "--help"}), "Unknown Parameter: --help");
  const RunResult version = Detached({"--version"});
  EXPECT_TRUE(version.exitCode == 0 && version.stdoutBytes == "zev 1.0\n" && version.terminalBytes.empty())
      << version.stdoutBytes;
  const RunResult help = Detached({"--help"});
  EXPECT_TRUE(help.exitCode == 0 && help.terminalBytes.empty());
  for (const char* name :
       {"\n  -a ", "\n  -d ", "\n  -s[:n] ", "\n  -p:", "\n  -v:", "\n  -w:n ", "\n  -b ", "\n  -r ", "\n  -o:n ",
        "\n  -f:name ", "\n  -m:csv ", "\n  -m:jsonl ", "man zev", "zev old.sav new.sav ", "-w:2 -a "}) {
    EXPECT_NE(help.stdoutBytes.find(name), std::string::npos) << name;
  }
  for (size_t start = 0, end; (end = help.stdoutBytes.find('\n', start)) != std::string::npos; start = end + 1) {
    EXPECT_LE(end - start, 80u) << help.stdoutBytes.substr(start, end - start);
  }
  for (const char* option : {"--help", "--version"}) {  // an answer that cannot be written is no success
    EXPECT_EQ(RunInShell(R"("$0" "$@" > /dev/full)", Options({option})).exitCode, 101) << option;
  }
  ExpectFatal(Run({"--version", "--help"}), "Unknown Parameter: --version");
}

}  // namespace
}  // namespace e2e
