// The tool's window: its messages in the order of its checks, wrapping and
// scrolling, the usage screen on screens of every size, no terminal at all.
#include <sys/stat.h>
#include <unistd.h>

#include "e2e_support.h"

namespace e2e {
namespace {

using Screen = ZevTest;

// Each with -f:rep.txt and standard output on a file: the message, nothing on standard
// output, the old report untouched unless it had been opened (then emptied). Widths, values
// and patterns are refused before anything is opened.
TEST_F(Screen, TheToolsOwnMessagesInTheOrderOfTheChecks) {
  MakeInput("a", "abc");
  MakeInput("b", "abd");
  std::vector<std::string> eleven;
  for (int k = 0; k < 11; ++k) eleven.push_back(MakeInput("n" + std::to_string(k), "same"));
  const auto with = [](std::vector<std::string> list, const std::string& last) {
    list.push_back(last);
    return list;
  };
  ASSERT_EQ(mkdir(Path("sub").c_str(), 0755), 0);
  const std::string null = OnWindows() ? "nul" : "/dev/null", other = OnWindows() ? "/q" : "-q";
  std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"missing", "-x"}, "Unknown Parameter: -x"},
      {with(eleven, other), "Unknown Parameter: " + other},
      {{"a", "-"}, "Unknown Parameter: -"},
      {{"a", "b", "-s:x"}, "Unknown Parameter: -s:x"},  // a step must be a number when given
      {{"a", "b", "-s:1 "}, "Unknown Parameter: -s:1 "},
      {{"a", "b", "-s:$"}, "Unknown Parameter: -s:$"},
      {{"a", "b", "--a"}, "Unknown Parameter: --a"},
      {{"a"}, "Count of files must be 2 or more"},
      {{"missing"}, "Count of files must be 2 or more"},
      {with(eleven, "missing"), "Count of files must be 10 or less"},
      {{"missing", "a"}, "Can't open file: missing"},
      {{"a", "gone1", "gone2"}, "Can't open file: gone1"},
      {{"a", ""}, "Can't open file: "},
      {{"a", "sub"}, "Can't open file: sub"},
      {{"a", "a"}, "Can't open file: a"},  // an input is held: a second open fails, by any name
      {{"a", "b", "-o:4"}, "Nothing to compare"},
      {{"a", null, "-o:1"}, "Nothing to compare"},  // a device measures 0
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
      {{"a", "b", "-w:8", "-r", "-v:1,0x1p3"}, "Invalid value: 0x1p3"},
      {{"a", "b", "-w:4", "-r", "-v:+-1,1"}, "Invalid value: +-1"},
  };
  if (OnWindows()) {
    cases.insert(cases.end(), {{{"a", "/"}, "Unknown Parameter: /"},
                               {{"a", "A"}, "Can't open file: A"},
                               {{"a", ".\\a"}, "Can't open file: .\\a"}});
  } else {
    ASSERT_TRUE(link(Path("a").c_str(), Path("hard").c_str()) == 0 && symlink("a", Path("soft").c_str()) == 0);
    cases.insert(cases.end(), {{{"a", "./a"}, "Can't open file: ./a"},
                               {{"a", "b", "a"}, "Can't open file: a"},
                               {{"a", "hard"}, "Can't open file: hard"},
                               {{"soft", "b", "a"}, "Can't open file: a"}});
  }
  for (const auto& [args, message] : cases) {
    SCOPED_TRACE(args[0] + " ... " + args.back());
    harness::WriteFile(Path("rep.txt"), "old report");
    std::vector<std::string> all = {"-f:rep.txt"};
    all.insert(all.end(), args.begin(), args.end());
    const RunResult result = Run(all, StdoutMode::File);
    ExpectFatal(result, message);
    EXPECT_EQ(result.stdoutBytes, "");
    EXPECT_EQ(harness::ReadFile(Path("rep.txt")), message == "Nothing to compare" ? "" : "old report");  // opened last
  }
  // What lies just inside each limit is taken: 255 characters of values read whole (the last value is 100, not
  // 10), or of a step; the lowest value of a width; a width of one byte; a real value with a plus sign.
  const std::string header = HeaderLine({"a", "b"}), differs = header + DifferenceLine(2, {99, 100});
  const std::pair<std::vector<std::string>, std::string> accepted[] = {
      {{"-v:" + std::string(249, '0') + "99,100"}, differs},
      {{"-s:" + std::string(244, '0') + "42949672960"}, header},
      {{"-v:..-128,..-128"},
       header + DifferenceLine(0, {97, 97}) + DifferenceLine(1, {98, 98}) + DifferenceLine(2, {99, 100})},
      {{"-w:1"}, differs},
      {{"-w:4", "-r", "-v:+1,+2.5"}, HeaderLine({"a", "b"}, 8, 33)}};  // a binary32 column's name field
  for (auto [args, report] : accepted) {
    args.insert(args.begin(), {"a", "b", "-f:rep.txt"});
    EXPECT_EQ(Run(args).exitCode, 0) << args[3];
    EXPECT_EQ(harness::ReadFile(Path("rep.txt")), report) << args[3];
  }
}

// The window spans columns 2 to 79 and rows 2 to 24 where the screen holds it: a message wraps
// at its edge, one exactly as wide leaves an empty row, a longer one scrolls it, never the margins.
TEST_F(Screen, MessagesWrapAndScrollInsideTheWindow) {
  MakeInput("a", "x");
  const struct {
    std::string parameter;
    int columns = 80, rows = 25;
  } cases[] = {
      {.parameter = std::string(100, 'n')},
      {.parameter = std::string(61, 'w')},
      {.parameter = std::string(1500, 'l')},
      // A screen too small for the window leaves it the whole screen.
      {.parameter = std::string(100, 'n'), .columns = 78},
      {.parameter = "-x", .rows = 23},
  };
  for (const auto& [parameter, columns, rows] : cases) {
    const std::string message = (parameter[0] == '-' ? "Unknown Parameter: " : "Can't open file: ") + parameter;
    SCOPED_TRACE(message.substr(0, 30) + "... on " + std::to_string(columns) + "x" + std::to_string(rows));
    harness::RunOptions options = Options({"a", parameter});
    options.columns = columns;
    options.rows = rows;
    const RunResult result = Run(options);
    ExpectFatal(result, message);
    // The row scrolled in below the message takes light grey, the colour the message ends with.
    const Shown grey = ShownColours(7);
    if (parameter.size() == 1500) harness::ExpectColours(result, 23, 1, 78, grey.foreground, grey.background);
  }
  if (OnWindows()) return;  // a parameter reaches the Windows program in its code page, not as UTF-8
  // A wide character that does not fit before the window's edge goes to the next row.
  const RunResult wide = Run({"a", std::string(60, 'n') + "\uFF60"});
  EXPECT_TRUE(wide.RowText(5) == " Can't open file: " + std::string(60, 'n') && wide.RowText(6) == " \uFF60")
      << wide.RowText(5);
  // Control bytes in a name are drawn as pictures or act as the window's rules say (a backspace
  // steps back, a bell is nothing), never reaching the terminal as such; UTF-8 takes its cells.
  const RunResult result = Run({"a", "ab\bX\t\x1b[2J\a\xC3\xBC\xE6\x97\xA5!\xE6\x97\xA5\bY"});
  EXPECT_TRUE(result.exitCode == 1 && result.RowText(5) == " Can't open file: aX○←[2Jü日! Y" &&
              result.RowText(6).empty())
      << result.RowText(5);
  harness::ExpectColours(result, 5, 1, 25, ShownColours(12).foreground, ShownColours(12).background);
  EXPECT_TRUE(result.cursorRow == 7 && result.cursorColumn == 1 &&
              result.terminalBytes.find("\x1b[2J") == std::string::npos);
}

// Redirected standard output keeps none of the screens from the terminal, and receives none.
TEST_F(Screen, UsageInTheWindowWhenTheScreenHoldsItElseTopLeft) {
  const struct {
    int columns = 80, rows = 25;
    StdoutMode mode = StdoutMode::Terminal;
  } cases[] = {{},
               {.columns = 100, .rows = 40, .mode = StdoutMode::File},
               {.columns = 78, .mode = StdoutMode::Pipe},
               {.columns = 79},
               {.rows = 24},
               {.rows = 23, .mode = StdoutMode::File},
               {.columns = 60}};
  for (const auto& [columns, rows, mode] : cases) {
    SCOPED_TRACE(std::to_string(columns) + "x" + std::to_string(rows));
    harness::RunOptions options = Options({}, mode);
    options.columns = columns;
    options.rows = rows;
    const RunResult result = Run(options);
    EXPECT_TRUE(result.exitCode == 0 && result.stdoutBytes.empty());
    ExpectUsageScreen(result);
  }
  // No terminal at all: the message on standard error, exit code 1.
  harness::RunOptions options = Options({"a", "b"});
  options.controllingTerminal = false;
  const RunResult alone = Run(options);
  EXPECT_TRUE(alone.exitCode == 1 && alone.stdoutBytes.empty() &&
              alone.stderrBytes == "No way to get the console handle\r\n")
      << alone.stderrBytes;
  if (OnWindows()) return;
  // Whatever the screen showed before is cleared, in the terminal's colours.
  const RunResult cleared =
      RunInShell(R"(printf '\033[44m'; for i in $(seq 30); do printf 'junk%076d' 0; done; "$0" "$@")", Options({}));
  EXPECT_EQ(cleared.exitCode, 0);
  ExpectUsageScreen(cleared);
}

}  // namespace
}  // namespace e2e
