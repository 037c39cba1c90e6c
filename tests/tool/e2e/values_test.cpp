// Values wider than a byte, byte order and known values: the README's worked example, the refusals;
// and the long options that scripts ask on Linux.
#include "e2e_support.h"

namespace e2e {
namespace {

using Values = ZevTest;

// A 16-bit counter 250, 260, 270 across a carry at $10, lives 3, 2, 1 at $12, noise at $08.
TEST_F(Values, TheWorkedExampleOfACounterAndLives) {
  const char* snaps[] = {"\x41\x00\x00\x00\x00\x00\x00\x00\xFA\x00\x03", "\x17\x00\x00\x00\x00\x00\x00\x00\x04\x01\x02",
                         "\x99\x00\x00\x00\x00\x00\x00\x00\x0E\x01\x01"};
  for (int k = 0; k < 3; ++k)
    MakeInput("snap" + std::to_string(k + 1) + ".sav", std::string("HERO\x01\0\0\0", 8) + std::string(snaps[k], 11) + std::string(13, '\0'));
  const std::string bytes = "Files:     \xB3   snap1.sav \xB3   snap2.sav \xB3   snap3.sav\r\n";
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"-a"}, bytes},
      {{"-w:2", "-a"}, "Files:     \xB3        snap1.sav \xB3        snap2.sav \xB3        snap3.sav\r\n"
                       "00000010   \xB3  250  $00FA '\xFA.' \xB3  260  $0104 '..' \xB3  270  $010E '..'\r\n"},
      {{"-v:3,2,1"}, bytes + "00000012   \xB3  3  $03 '.' \xB3  2  $02 '.' \xB3  1  $01 '.'\r\n"},
      {{"-p:--"}, bytes + "00000012   \xB3  3  $03 '.' \xB3  2  $02 '.' \xB3  1  $01 '.'\r\n"},
      {{"-v:2..3,1..2,..1"}, bytes + "00000012   \xB3  3  $03 '.' \xB3  2  $02 '.' \xB3  1  $01 '.'\r\n"},
      {{"-W:$2", "-big", "-v:-1536,1025,$E01"}, "Files:     \xB3        snap1.sav \xB3        snap2.sav \xB3        snap3.sav\r\n"
                                                "00000010   \xB3" "64000  $FA00 '\xFA.' \xB3 1025  $0401 '..' \xB3 3585  $0E01 '..'\r\n"},
  };
  for (auto [args, report] : cases) {
    args.insert(args.begin(), {"snap1.sav", "snap2.sav", "snap3.sav", "-f:r.txt"});
    EXPECT_TRUE(Run(args).exitCode == 0 && harness::ReadFile(Path("r.txt")) == report) << args.back();
  }
}

// Refused before the report is opened, in the order of the checks.
TEST_F(Values, WidthsAndValuesThatCannotBeAreRefused) {
  MakeInput("a", "abcd"), MakeInput("b", "abce");
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"a", "b", "-w:3"}, "Unknown Parameter: -w:3"},         {{"a", "-v:1,2,3", "-w:16"}, "Unknown Parameter: -w:16"},
      {{"a", "-v:1,2,3"}, "Count of files must be 2 or more"}, {{"a", "b", "-v:1,2,3"}, "Count of values must be the count of files"},
      {{"a", "b", "-v:1"}, "Count of values must be the count of files"}, {{"a", "b", "-v:1,2x"}, "Invalid value: 2x"},
      {{"a", "b", "-v:256,1"}, "Value out of range: 256"},     {{"a", "b", "-v:1,-129"}, "Value out of range: -129"},
      {{"a", "b", "-w:2", "-v:-32769,0"}, "Value out of range: -32769"},
      {{"a", "b", "-w:8", "-v:$10000000000000000,0"}, "Invalid value: $10000000000000000"},
      {{"a", "b", "-v:" + std::string(254, '0') + ",1"}, "Values too long: " + std::string(254, '0') + ",1"},
      {{"a", "b", "-p:++"}, "Count of steps must be the count of files less one"}, {{"a", "b", "-p:"}, "Count of steps must be the count of files less one"},
      {{"a", "b", "-p:x"}, "Invalid pattern: x"},              {{"a", "b", "-P:+", "-v:1"}, "Count of values must be the count of files"},
      {{"a", "b", "-p:" + std::string(256, '+')}, "Pattern too long: " + std::string(256, '+')},
      {{"a", "b", "-s:18446744073709551616"}, "Unknown Parameter: -s:18446744073709551616"},
      {{"a", "b", "-v:5..4,1"}, "Invalid range: 5..4"},         {{"a", "b", "-v:1..256,1"}, "Value out of range: 256"},
      {{"a", "b", "-v:1,x.."}, "Invalid value: x"},             {{"a", "b", "-v:-1..1,1"}, "Invalid range: -1..1"}};
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

// On Linux --help is the usage screen and --version one line on standard output, even with no terminal.
TEST_F(Values, HelpAndVersionAlone) {
  if (OnWindows()) return MakeInput("a", "a"), MakeInput("b", "b"), ExpectFatal(Run({"a", "b", "--help"}), "Unknown Parameter: --help");
  ExpectUsageScreen(Run(std::vector<std::string>{"--help"}));
  harness::RunOptions options = Options({"--version"}, StdoutMode::Pipe);
  options.controllingTerminal = false;
  const RunResult version = Run(options);
  EXPECT_TRUE(version.exitCode == 0 && version.stdoutBytes == "zev 1.0\n" && version.terminalBytes.empty()) << version.stdoutBytes;
  ExpectFatal(Run({"--version", "--help"}), "Unknown Parameter: --version");
}

}  // namespace
}  // namespace e2e
