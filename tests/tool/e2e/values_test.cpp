// Values wider than a byte, byte order and known values: the README's worked example, the refusals;
// and the long options that scripts ask on Linux.
#include <cstring>

#include "e2e_support.h"

namespace e2e {
namespace {

using Values = ZevTest;

// Health as binary32 across four snapshots, 100, 87.5, 87.5, 95 at $08, beside a position and mana that go their own
// ways; then a 64-bit counter that steps by 2^32 at $08 beside one that steps by 1.
TEST_F(Values, TheWorkedExamplesOfHealthAndAWideStep) {
  const float health[] = {100, 87.5f, 87.5f, 95}, x[] = {12.25f, 13, 13, 12.5f}, mana[] = {0.5f, 0.25f, 0.25f, 0.75f};
  std::vector<std::string> names;
  for (int k = 0; k < 4; ++k) {
    char bytes[32] = {'H', 'E', 'R', 'O', 7};
    std::memcpy(bytes + 8, &health[k], 4), std::memcpy(bytes + 12, &x[k], 4), std::memcpy(bytes + 16, &mana[k], 4);
    names.push_back(MakeInput("health" + std::to_string(k + 1) + ".sav", std::string(bytes, 32)));
    if (k == 3) break;
    const uint64_t counters[] = {1000u + k, (uint64_t{k + 1u} << 32) | 5};
    std::string counter(32, '\0');
    std::memcpy(counter.data(), counters, 16);
    MakeInput("counter" + std::to_string(k + 1) + ".sav", counter);
  }
  const std::string field(22, ' '), head = "Files:     \xB3" + field + "health1.sav \xB3" + field + "health2.sav \xB3" +
                                           field + "health3.sav \xB3" + field + "health4.sav\r\n";
  const std::string healthLine =
      "00000008   \xB3            100  $42C80000 '..\xC8"
      "B' \xB3           87.5  $42AF0000 '..\xAF"
      "B' "
      "\xB3           87.5  $42AF0000 '..\xAF"
      "B' \xB3             95  $42BE0000 '..\xBE"
      "B'\r\n";
  const std::string manaLine =
      "00000010   \xB3            0.5  $3F000000 '...?' \xB3           0.25  $3E800000 '..\x80>' "
      "\xB3           0.25  $3E800000 '..\x80>' \xB3           0.75  $3F400000 '..@?'\r\n";
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"-w:4", "-r", "-p:-=+"}, head + healthLine + manaLine},
      {{"-w:4", "-r", "-v:90..,80..90,80..90,90.."}, head + healthLine}};
  for (auto [args, report] : cases) {
    args.insert(args.begin(), {"health1.sav", "health2.sav", "health3.sav", "health4.sav", "-f:r.txt"});
    EXPECT_EQ(Run(args).exitCode, 0);
    EXPECT_EQ(harness::ReadFile(Path("r.txt")), report) << args.back();
  }
  const std::string wide(38, ' ');
  EXPECT_EQ(Run({"counter1.sav", "counter2.sav", "counter3.sav", "-w:8", "-s:4294967296", "-f:r.txt"}).exitCode, 0);
  EXPECT_EQ(harness::ReadFile(Path("r.txt")),
            "Files:     \xB3" + wide + "counter1.sav \xB3" + wide + "counter2.sav \xB3" + wide +
                "counter3.sav\r\n"
                "00000008   \xB3          4294967301  $0000000100000005 '........' \xB3          8589934597  "
                "$0000000200000005 "
                "'........' \xB3         12884901893  $0000000300000005 '........'\r\n");
}

// Refused before the report is opened, in the order of the checks.
TEST_F(Values, WidthsAndValuesThatCannotBeAreRefused) {
  MakeInput("a", "abcd"), MakeInput("b", "abce");
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"a", "b", "-w:3"}, "Unknown Parameter: -w:3"},
      {{"a", "-v:1,2,3", "-w:16"}, "Unknown Parameter: -w:16"},
      {{"a", "b", "-v:1,2,3"}, "Count of values must be the count of files"},
      {{"a", "b", "-v:1"}, "Count of values must be the count of files"},
      {{"a", "b", "-v:1,2x"}, "Invalid value: 2x"},
      {{"a", "b", "-v:256,1"}, "Value out of range: 256"},
      {{"a", "b", "-v:1,-129"}, "Value out of range: -129"},
      {{"a", "b", "-w:2", "-v:-32769,0"}, "Value out of range: -32769"},
      {{"a", "b", "-w:8", "-v:$10000000000000000,0"}, "Invalid value: $10000000000000000"},
      {{"a", "b", "-v:" + std::string(254, '0') + ",1"}, "Values too long: " + std::string(254, '0') + ",1"},
      {{"a", "b", "-p:++"}, "Count of steps must be the count of files less one"},
      {{"a", "b", "-p:"}, "Count of steps must be the count of files less one"},
      {{"a", "b", "-p:x"}, "Invalid pattern: x"},
      {{"a", "b", "-P:+", "-v:1"}, "Count of values must be the count of files"},
      {{"a", "b", "-p:" + std::string(256, '+')}, "Pattern too long: " + std::string(256, '+')},
      {{"a", "b", "-p:" + std::string(255, '+')}, "Count of steps must be the count of files less one"},
      {{"a", "b", "-s:18446744073709551616"}, "Unknown Parameter: -s:18446744073709551616"},
      {{"a", "b", "-v:5..4,1"}, "Invalid range: 5..4"},
      {{"a", "b", "-v:1..256,1"}, "Value out of range: 256"},
      {{"a", "b", "-v:1,x.."}, "Invalid value: x"},
      {{"a", "b", "-v:-1..1,1"}, "Invalid range: -1..1"},
      {{"a", "b", "-r"}, "Real values are 4 or 8 bytes wide"},
      {{"a", "b", "-r", "-w:2"}, "Real values are 4 or 8 bytes wide"},
      {{"a", "b", "-w:4", "-r", "-s"}, "Real values take no steps"},
      {{"a", "b", "-w:4", "-r", "-v:nan,1"}, "Invalid value: nan"},
      {{"a", "b", "-w:4", "-r", "-v:1,1e39"}, "Value out of range: 1e39"},
      {{"a", "b", "-w:8", "-r", "-v:2..-inf,1"}, "Invalid range: 2..-inf"},
      {{"a", "b", "-w:8", "-r", "-v:1,0x1p3"}, "Invalid value: 0x1p3"}};
  for (auto [args, message] : cases) {
    harness::WriteFile(Path("rep.txt"), "old report");
    args.insert(args.begin(), "-f:rep.txt");
    ExpectFatal(Run(args), message);
    EXPECT_EQ(harness::ReadFile(Path("rep.txt")), "old report");
  }
  // 255 characters are read whole: the last value is 100, not 10.
  MakeInput("c", "d"), MakeInput("e", "d");
  EXPECT_EQ(Run({"c", "e", "-f:rep.txt", "-v:" + std::string(248, '0') + "100,100"}).exitCode, 0);
  EXPECT_EQ(harness::ReadFile(Path("rep.txt")), HeaderLine({"c", "e"}) + DifferenceLine(0, {100, 100}));
}

// On Linux --help and --version alone are plain text on standard output, even with no terminal: the help names
// every switch, in 80 columns.
TEST_F(Values, HelpAndVersionAlone) {
  if (OnWindows())
    return MakeInput("a", "a"), MakeInput("b", "b"),
           ExpectFatal(Run({"a", "b", "--help"}), "Unknown Parameter: --help");
  harness::RunOptions options = Options({"--version"}, StdoutMode::Pipe);
  options.controllingTerminal = false;
  const RunResult version = Run(options);
  EXPECT_TRUE(version.exitCode == 0 && version.stdoutBytes == "zev 1.0\n" && version.terminalBytes.empty())
      << version.stdoutBytes;
  options.args.back() = "--help";
  const RunResult help = Run(options);
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
