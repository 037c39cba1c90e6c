// The Windows program's screens under wine: the banner, the usage screen,
// the window's rules through the console probe, and the fatal messages,
// as a terminal shows what wine's console makes of them.
#include <sys/stat.h>

#include "e2e_support.h"
#include "windows_programs.h"
#include "harness/usage_screen.h"

namespace e2e {
namespace {

// wine's console leaves the colours it started with, light grey on black,
// to the terminal's own; every other foreground is the palette's.
harness::ShownColours ShownByWine(int toolColour) {
  return {toolColour == 7 ? -1 : TerminalColour(toolColour), ShownBlack()};
}
constexpr int kWhite = 15;

class WindowsScreen : public ZevTest {
 protected:
  RunResult RunProgram(const std::string& program, const std::vector<std::string>& args, int columns = 80,
                       int rows = 25) {
    harness::RunOptions options = Options(args);
    options.args[0] = program;
    options.columns = columns;
    options.rows = rows;
    return Run(options);
  }
};

TEST_F(WindowsScreen, UsageInTheMarginWindowWhenTheScreenHoldsItElseTopLeft) {
  const struct {
    int columns, rows, origin, width;
  } cases[] = {{80, 25, 1, 78}, {120, 40, 1, 78}, {78, 25, 0, 78}, {80, 23, 0, 80}, {60, 30, 0, 60}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.columns) + "x" + std::to_string(c.rows));
    RunResult result = RunProgram(WindowsProgram("zev.exe"), {}, c.columns, c.rows);
    EXPECT_EQ(result.exitCode, 0);
    harness::ExpectUsageScreen(result, c.origin, c.width, ShownByWine);
  }
}

TEST_F(WindowsScreen, StandardOutputRedirectedStillShowsTheScreens) {
  for (StdoutMode mode : {StdoutMode::File, StdoutMode::Pipe}) {
    RunResult result = Run(std::vector<std::string>{}, mode);
    EXPECT_EQ(result.exitCode, 0);
    harness::ExpectUsageScreen(result, 1, 78, ShownByWine);
    EXPECT_EQ(result.stdoutBytes, "");
  }
}

TEST_F(WindowsScreen, NoConsoleAtAllEndsWithTheMessage) {
  harness::RunOptions options = Options({"a", "b"});
  options.controllingTerminal = false;
  RunResult result = Run(options);
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.stderrBytes, "No way to get the console handle\r\n");
  EXPECT_EQ(result.stdoutBytes, "");
}

TEST_F(WindowsScreen, WindowRulesThroughTheConsoleProbe) {
  // Wrapping, a full-width line, backspace at the left edge, a lone line
  // feed; scrolling and clearing inside a painted margin.
  RunResult lines = RunProgram(WindowsProgram("tests/console/console_probe.exe"), {"lines"});
  const std::vector<std::string> expected = {"", " " + std::string(78, 'a'), " 0123456789",
                                             " " + std::string(78, 'w'), "", " after", " Xb", " Y",
                                             " abc", "    def"};
  for (int row = 0; row < 25; ++row)
    EXPECT_EQ(lines.RowText(row), row < 10 ? expected[row] : "") << "row " << row + 1;
  EXPECT_TRUE(lines.cursorRow == 10 && lines.cursorColumn == 1);

  RunResult scroll = RunProgram(WindowsProgram("tests/console/console_probe.exe"), {"scroll31"});
  EXPECT_EQ(scroll.RowText(0), "top margin");
  for (int line = 10; line <= 30; ++line) EXPECT_EQ(scroll.RowText(line - 9), " line " + std::to_string(line));
  ExpectColours(scroll, 23, 1, 78, kWhite, TerminalColour(1));  // attribute 31: white on blue
  for (int row = 0; row < 25; ++row) {
    for (int column : {0, 79}) ExpectColours(scroll, row, column, 1, kWhite, TerminalColour(4));
  }
  ExpectColours(scroll, 24, 0, 80, kWhite, TerminalColour(4));
}

TEST_F(WindowsScreen, EveryByteIsACellInTheCodePagesGlyphNeverAControl) {
  // One byte a cell: UTF-8 sequences are bytes like any other; control
  // bytes show as their pictures, and no escape sequence reaches the
  // terminal.
  RunResult result = RunProgram(WindowsProgram("tests/console/console_probe.exe"), {"text"});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.RowText(1), " Gr├╝├ƒe µùÑµ£¼Φ¬₧ ≡ƒÿÇ end");
  EXPECT_EQ(result.RowText(4), " <Ç¢░█\u00A0├(>");
  EXPECT_EQ(result.RowText(5), " a○b←[31mred←[2J←]0;title!");
  EXPECT_EQ(result.RowText(6), " < ⌂♀>");
  EXPECT_EQ(result.terminalBytes.find("\x1b[2J"), std::string::npos);
  EXPECT_EQ(result.terminalBytes.find("\x1b]0;"), std::string::npos);
}

using WindowsFatal = ZevTest;

TEST_F(WindowsFatal, ShownBelowTheBannerInLightRedInTheOrderOfTheChecks) {
  MakeInput("a", "abc");
  MakeInput("b", "abd");
  std::vector<std::string> eleven;
  for (int k = 0; k < 11; ++k) eleven.push_back(MakeInput("n" + std::to_string(k), "same"));
  ASSERT_EQ(mkdir(Path("sub").c_str(), 0755), 0);
  std::vector<std::string> elevenAndSwitch = eleven;
  elevenAndSwitch.push_back("/q");
  ExpectFatalCases({
      {{"missing", "-x"}, "Unknown Parameter: -x", false},
      {elevenAndSwitch, "Unknown Parameter: /q", false},
      {{"a", "/"}, "Unknown Parameter: /", false},
      {{"a"}, "Count of files must be 2 or more", false},
      {eleven, "Count of files must be 10 or less", false},
      {{"missing", "a"}, "Can't open file: missing", false},
      {{"a", ""}, "Can't open file: ", false},
      {{"a", "sub"}, "Can't open file: sub", false},
      // Held without sharing: the same file a second time, by any name.
      {{"a", "a"}, "Can't open file: a", false},
      {{"a", "A"}, "Can't open file: A", false},
      {{"a", ".\\a"}, "Can't open file: .\\a", false},
      {{"a", "b", "-o:4"}, "Nothing to compare", true},
      {{"a", "nul", "/o:1"}, "Nothing to compare", true},
  });
}

}  // namespace
}  // namespace e2e
