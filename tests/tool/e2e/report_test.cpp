// The report at every destination against the model: the documented
// example, random runs, block edges, reports larger than the buffer, and
// the report on the terminal.
#include <unistd.h>

#include "e2e_support.h"

namespace e2e {
namespace {

using Report = ZevTest;

TEST_F(Report, TheWorkedExampleAtEveryDestination) {
  const std::vector<std::string> names = {"old.bin", "new.bin", "patch3.bin"};
  // Equal but at 300 and 500; what lies past the shortest length must not count.
  std::string base(600, '\0');
  for (size_t i = 0; i < base.size(); ++i) base[i] = static_cast<char>(i * 7 + 3);
  const char* tails[] = {"", "tail", "longer tail"};
  for (int k = 0; k < 3; ++k) {
    std::string bytes = base + tails[k];
    bytes[300] = "\x41\x0A\x7A"[k];
    bytes[500] = "\x00\x20\x27"[k];
    MakeInput(names[k], bytes);
  }
  const std::string lines[] = {"Files:     \xB3     old.bin \xB3     new.bin \xB3  patch3.bin",
                               "0000012C   \xB3 65  $41 'A' \xB3 10  $0A '.' \xB3" "122  $7A 'z'",
                               "000001F4   \xB3  0  $00 '.' \xB3 32  $20 ' ' \xB3 39  $27 '''"};
  const std::string report = lines[0] + "\r\n" + lines[1] + "\r\n" + lines[2] + "\r\n", old(1000, 'x');
  enum Where { kFile, kStdout, kTerminal };
  const struct {
    std::vector<std::string> args;
    StdoutMode mode;
    Where where;
  } cases[] = {
      {{"old.bin", "new.bin", "patch3.bin", "-f:report.txt"}, StdoutMode::Terminal, kFile},
      {{"-f:report.txt", "old.bin", "-o:0", "new.bin", "patch3.bin"}, StdoutMode::File, kFile},
      {{"old.bin", "new.bin", "patch3.bin", "-f:"}, StdoutMode::File, kStdout},
      {{"-f", "old.bin", "new.bin", "patch3.bin"}, StdoutMode::Pipe, kStdout},
      {{"old.bin", "new.bin", "-F:", "patch3.bin"}, StdoutMode::File, kStdout},
      // The default name is the terminal, wherever standard output goes.
      {names, StdoutMode::Terminal, kTerminal},
      {names, StdoutMode::File, kTerminal},
      {{"-f:Con", "old.bin", "new.bin", "patch3.bin"}, StdoutMode::Pipe, kTerminal},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args[0] + " " + c.args[3] + ", standard output " + std::to_string(static_cast<int>(c.mode)));
    harness::WriteFile(Path("report.txt"), old);  // to be emptied first
    const RunResult result = Run(c.args, c.mode);
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.stdoutBytes, c.where == kStdout ? report : "");
    EXPECT_EQ(harness::ReadFile(Path("report.txt")), c.where == kFile ? report : old);
    EXPECT_FALSE(access(Path("Con").c_str(), F_OK) == 0) << "a file made for the console";
    ExpectBanner(result, c.where != kTerminal);
    // The table starts where the banner left the cursor, later lines at the
    // screen's left edge, in the terminal's own colours.
    for (int row = 5; c.where == kTerminal && row < 8; ++row) {
      EXPECT_EQ(result.RowText(row), (row == 5 ? " " : "") + TerminalText(lines[row - 5]));
      harness::ExpectColours(result, row, row == 5, 52, -1, -1);
    }
    EXPECT_TRUE(c.where != kTerminal || (result.RowText(8).empty() && result.cursorRow == 8 && result.cursorColumn == 0));
  }
}

class RandomRuns : public ZevTest, public testing::WithParamInterface<int> {};

TEST_P(RandomRuns, MatchTheModel) {
  std::mt19937 engine(20250107u + static_cast<uint32_t>(GetParam()));
  for (int i = 0; i < (OnWindows() ? 1 : 25) && !HasFailure(); ++i) {
    const RandomCase c = MakeRandomCase(engine);
    std::string line = "case " + std::to_string(i) + ": zev";
    for (const std::string& arg : c.args) line += " " + arg;
    SCOPED_TRACE(line + "  (shortest " + std::to_string(c.shortest) + ")");
    watched.clear();
    for (size_t k = 0; k < c.names.size(); ++k) MakeInput(c.names[k], c.contents[k]);
    harness::WriteFile(Path("report.txt"), "stale report text\r\n");
    const RunResult result = Run(c.args);
    if (c.offset > c.shortest) {
      ExpectFatal(result, "Nothing to compare");
      EXPECT_EQ(harness::ReadFile(Path("report.txt")), "");
    } else {
      EXPECT_EQ(result.exitCode, 0);
      ExpectSameReport(harness::ReadFile(Path("report.txt")), ExpectedReport(c.names, c.contents, c.offset, c.selection));
      ExpectBanner(result, true);
    }
    for (const std::string& name : c.names) unlink(Path(name).c_str());
  }
}
INSTANTIATE_TEST_SUITE_P(Batches, RandomRuns, testing::Range(0, 12));

// Blocks are counted from the start offset; positions stay absolute.
TEST_F(Report, EveryChangeOnceAtItsAbsolutePositionAcrossBlockEdges) {
  const struct {
    int64_t length, offset;
    std::vector<int64_t> changed;
    std::vector<std::string> reported;
  } cases[] = {
      {65536, 0, {0, 65535}, {"00000000", "0000FFFF"}},
      {65537, 0, {65535, 65536}, {"0000FFFF", "00010000"}},
      {131077, 0, {65536, 131071, 131072, 131076}, {"00010000", "0001FFFF", "00020000", "00020004"}},
      {65636, 100, {99, 100, 65635}, {"00000064", "00010063"}},
      {65637, 100, {65635, 65636}, {"00010063", "00010064"}},
      {65538, 1, {0, 1, 65536, 65537}, {"00000001", "00010000", "00010001"}},
      {200, 200, {0, 199}, {}},
      {0, 0, {}, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("length " + std::to_string(c.length) + " offset " + std::to_string(c.offset));
    std::string first(static_cast<size_t>(c.length), 'q');
    std::string second = first + "past the end of the shortest";
    for (int64_t position : c.changed) second[position] = 'Q';
    MakeInput("first", first);
    MakeInput("second", second);
    EXPECT_EQ(Run({"first", "second", "-o:" + std::to_string(c.offset), "-f:r.txt"}).exitCode, 0);
    std::vector<std::string> lines = SplitReportLines(harness::ReadFile(Path("r.txt"))), positions;
    for (size_t i = 1; i < lines.size(); ++i) positions.push_back(lines[i].substr(0, lines[i].find(' ')));
    EXPECT_EQ(positions, c.reported);
  }
  // A device measures 0: nothing is read from it, nothing reported.
  MakeInput("other", "different");
  const std::string null = OnWindows() ? "nul" : "/dev/null";
  EXPECT_EQ(Run({"other", null, "-f:r.txt"}).exitCode, 0);
  EXPECT_EQ(harness::ReadFile(Path("r.txt")), HeaderLine({"other", null}));
}

// Some 1.6 MB of lines of 52 characters: lines cross the edges of the
// 1 MiB buffer, and a pipe must be waited for.
TEST_F(Report, LargerThanTheBufferToEveryDestination) {
  std::string x(30000, '\0'), y(30000, '\0'), z(30001, '\0');
  for (size_t i = 0; i < x.size(); ++i) {
    x[i] = static_cast<char>(i & 0x7F);
    y[i] = static_cast<char>(0x80 | (i & 0x7F));
    z[i] = static_cast<char>(i * 13);
  }
  MakeInput("x", x);
  MakeInput("y", y);
  MakeInput("z", z);
  const std::string expected = ExpectedReport({"x", "y", "z"}, {x, y, z}, 0);
  ASSERT_GT(expected.size(), 1500000u);
  EXPECT_EQ(Run({"x", "y", "z", "-f:r.txt"}).exitCode, 0);
  ExpectSameReport(harness::ReadFile(Path("r.txt")), expected);
  for (StdoutMode mode : {StdoutMode::File, StdoutMode::Pipe}) {
    const RunResult result = Run({"x", "y", "z", "-f:"}, mode);
    EXPECT_EQ(result.exitCode, 0);
    ExpectSameReport(result.stdoutBytes, expected);
  }
}

TEST_F(Report, OnTheTerminalBytesShowAsCodePageGlyphsAndLongLinesFlowOn) {
  // 0x7F..0xFF against zeros, on a screen tall enough that nothing scrolls
  // (wine's console hands 0x7F to the terminal as it is).
  const int first = OnWindows() ? 0x80 : 0x7F;
  std::string high, zeros(0x100 - first, '\0');
  for (int b = first; b <= 0xFF; ++b) high += static_cast<char>(b);
  MakeInput("high", high);
  MakeInput("zeros", zeros);
  harness::RunOptions options = Options({"high", "zeros"});
  options.rows = 140;
  RunResult result = Run(options);
  const std::vector<std::string> lines = SplitReportLines(ExpectedReport({"high", "zeros"}, {high, zeros}, 0));
  ASSERT_TRUE(result.exitCode == 0 && lines.size() == zeros.size() + 1);
  for (size_t i = 0; i < lines.size(); ++i) EXPECT_EQ(result.RowText(5 + static_cast<int>(i)), (i ? "" : " ") + TerminalText(lines[i]));
  EXPECT_EQ(result.RowText(6 + 0xB3 - first).substr(8), "   │179  $B3 '│' │  0  $00 '.'");

  // Ten inputs make lines of 150 characters, and a name of 255 a header
  // step longer than the terminal's buffer: each flows on at the screen's edge.
  std::vector<std::string> names, contents;
  for (int k = 0; k < 10; ++k) {
    contents.push_back(std::string(32, 'z'));
    contents[k][5] = static_cast<char>('a' + k);
    contents[k][20] = static_cast<char>(0x80 + k);
    names.push_back(MakeInput(k == 3 ? std::string(255, 'n') : "in" + std::to_string(k), contents[k]));
  }
  options = Options(names);
  options.rows = 40;
  result = Run(options);
  EXPECT_EQ(result.exitCode, 0);
  std::vector<std::string> rows;  // of 80 cells, the first after the margin
  for (const std::string& line : SplitReportLines(ExpectedReport(names, contents, 0))) {
    for (size_t at = 0, cells = rows.empty() ? 79 : 80; at < line.size(); at += cells, cells = 80) {
      const std::string row = TerminalText(line.substr(at, cells));
      rows.push_back(row.substr(0, row.find_last_not_of(' ') + 1));
    }
  }
  for (size_t i = 0; i <= rows.size(); ++i) {
    EXPECT_EQ(result.RowText(5 + static_cast<int>(i)).substr(i == 0), i < rows.size() ? rows[i] : "") << "row " << i + 6;
  }

  // Longer than the screen: the whole screen scrolls, not the window.
  std::string a(64, 'a'), b(64, 'a');
  for (int i = 0; i < 40; ++i) b[i] = static_cast<char>(i < 20 ? 'b' : 0xB0 + i % 16);
  MakeInput("a", a);
  MakeInput("b", b);
  result = Run({"a", "b"});
  EXPECT_EQ(result.exitCode, 0);
  ExpectScrolledReport(result, SplitReportLines(ExpectedReport({"a", "b"}, {a, b}, 0)));
}

}  // namespace
}  // namespace e2e
