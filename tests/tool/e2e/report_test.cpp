// The report at every destination against the model: the documented example,
// random runs, reports larger than the buffer, the terminal.
#include <sys/stat.h>
#include <unistd.h>

#include "e2e_support.h"

namespace e2e {
namespace {

using Report = ZevTest;

// The report as the terminal shows it below the banner: from the cursor the
// banner left, each line flowing on at the screen's edge, then nothing.
void ExpectOnTerminal(const RunResult& result, const std::string& report) {
  std::vector<std::string> rows;
  for (const std::string& line : SplitReportLines(report)) {
    for (size_t at = 0, cells = rows.empty() ? 79 : 80; at < line.size(); at += cells, cells = 80) {
      const std::string row = (rows.empty() ? " " : "") + TerminalText(line.substr(at, cells));
      rows.push_back(row.substr(0, row.find_last_not_of(' ') + 1));
    }
  }
  rows.emplace_back();
  EXPECT_TRUE(result.exitCode == 0 && result.RowText(1) == std::string(55, ' ') + "Brimlo comaparator");
  for (size_t i = 0; i < rows.size(); ++i)
    EXPECT_EQ(result.RowText(5 + static_cast<int>(i)), rows[i]) << "row " << i + 6;
  EXPECT_TRUE(result.cursorRow == 4 + static_cast<int>(rows.size()) && result.cursorColumn == 0);
}

TEST_F(Report, TheWorkedExampleAtEveryDestination) {
  const std::vector<std::string> names = {"old.bin", "new.bin", "patch3.bin"};
  // Equal but at 300 and 500; what lies past the shortest length must not count.
  std::string base(600, '\0');
  for (size_t i = 0; i < base.size(); ++i) base[i] = static_cast<char>(i * 7 + 3);
  for (int k = 0; k < 3; ++k) {
    std::string bytes = base + std::string(k * 5, 't');
    bytes[300] = "\x41\x0A\x7A"[k];
    bytes[500] = "\x00\x20\x27"[k];
    MakeInput(names[k], bytes);
  }
  const std::string report =
      "Files:     \xB3     old.bin \xB3     new.bin \xB3  patch3.bin\r\n"
      "0000012C   \xB3 65  $41 'A' \xB3 10  $0A '.' \xB3"
      "122  $7A 'z'\r\n"
      "000001F4   \xB3  0  $00 '.' \xB3 32  $20 ' ' \xB3 39  $27 '''\r\n";
  enum Where { kFile, kStdout, kTerminal };
  const struct {
    std::vector<std::string> args;
    StdoutMode mode;
    Where where;
  } cases[] = {
      {.args = {"old.bin", "new.bin", "patch3.bin", "-f:report.txt"}, .mode = StdoutMode::Terminal, .where = kFile},
      {.args = {"-f:report.txt", "old.bin", "-o:0", "new.bin", "patch3.bin"}, .mode = StdoutMode::File, .where = kFile},
      {.args = {"old.bin", "new.bin", "patch3.bin", "-f:"}, .mode = StdoutMode::File, .where = kStdout},
      {.args = {"-f", "old.bin", "new.bin", "patch3.bin"}, .mode = StdoutMode::Pipe, .where = kStdout},
      {.args = {"old.bin", "new.bin", "-F:", "patch3.bin"}, .mode = StdoutMode::File, .where = kStdout},
      // The default name is the terminal, wherever standard output goes.
      {.args = names, .mode = StdoutMode::Terminal, .where = kTerminal},
      {.args = names, .mode = StdoutMode::File, .where = kTerminal},
      {.args = {"-f:Con", "old.bin", "new.bin", "patch3.bin"}, .mode = StdoutMode::Pipe, .where = kTerminal},
  };
  for (const auto& [args, mode, where] : cases) {
    SCOPED_TRACE(args[0] + " " + args.back() + ", standard output " + std::to_string(static_cast<int>(mode)));
    harness::WriteFile(Path("report.txt"), "old report, to be emptied");
    const RunResult result = Run(args, mode);
    EXPECT_TRUE(result.exitCode == 0 && result.stdoutBytes == (where == kStdout ? report : "")) << result.stdoutBytes;
    EXPECT_EQ(harness::ReadFile(Path("report.txt")), where == kFile ? report : "old report, to be emptied");
    EXPECT_FALSE(access(Path("Con").c_str(), F_OK) == 0) << "a file made for the console";
    if (where != kTerminal) ExpectBanner(result);
    if (where != kTerminal) continue;
    ExpectOnTerminal(result, report);
    for (int row = 5; row < 8; ++row) harness::ExpectColours(result, row, row == 5, 52, -1, -1);  // the terminal's own
  }
}

// Standard output onto an input receives nothing, not even a stop message; a name of 255 characters opens, one
// of 256 never does though it names a file, nor a longer path of short names.
TEST_F(Report, NothingReachesAnInput) {
  MakeInput("x", "abcdefgh");
  MakeInput("y", "abcdefgH");
  for (const auto& [script, args] :
       {std::pair<std::string, std::vector<std::string>>{R"("$0" "$@" >> x)", {"x", "y", "-f:"}},
        {R"("$0" "$@" 1<>y)", {"x", "y", "-f:"}},
        {R"("$0" "$@" >> x)", {"x", "y", "-f:r.txt", "-o:-1"}}}) {
    const RunResult result = RunInShell(script, Options(args));
    EXPECT_EQ(result.exitCode, args.size() == 3 ? 5 : 131) << script;
    ExpectBanner(result);
  }
  ASSERT_EQ(mkdir(Path("d").c_str(), 0777), 0);
  const std::string longest = MakeInput("d/" + std::string(253, 'n'), "abc"), longer = MakeInput(longest + "n", "abc");
  EXPECT_EQ(Run({"x", longest, "-f:r.txt"}).exitCode, 0);
  std::string deep = ".";
  for (int level = 0; level < 30; ++level) ASSERT_EQ(mkdir(Path(deep += "/dddddddd").c_str(), 0777), 0);
  MakeInput(deep + "/in", "abcdefgh");
  for (const std::string& name : {longer, deep + "/in"}) {
    ExpectFatal(Run({"x", name}), "Can't open file: " + name);
    ExpectStop(Run({"x", "y", "-f:" + name}, StdoutMode::File), 206);
  }
}

class RandomRuns : public ZevTest, public testing::WithParamInterface<int> {
 protected:
  // The same run for other programs, with no terminal at all, into a file or onto standard output: as the model
  // has it, and its values as Python's csv and json modules read them those of the table in report.txt.
  void ExpectFormAgrees(RandomCase c, std::mt19937& engine) {
    const bool csv = engine() % 2 == 0, toFile = engine() % 2 == 0;
    const std::string name = csv ? "report.csv" : "report.jsonl";
    for (std::string& arg : c.args) {
      if (arg.substr(1) == "f:report.txt") arg = toFile ? arg.substr(0, 3) + name : arg.substr(0, 3);
    }
    c.args.push_back(csv ? "-m:csv" : "-M:JSONL");
    harness::RunOptions options = Options(c.args, StdoutMode::Pipe);
    options.controllingTerminal = false;
    const RunResult result = Run(options);
    if (c.offset > c.shortest) {
      EXPECT_TRUE(result.exitCode == 1 && result.stderrBytes == "Nothing to compare\r\n") << result.stderrBytes;
      return;
    }
    const std::string report = toFile ? harness::ReadFile(Path(name)) : result.stdoutBytes;
    EXPECT_TRUE(result.exitCode == 0 && result.stderrBytes.empty() && (toFile == result.stdoutBytes.empty()))
        << "exit code " << result.exitCode << ": " << result.stderrBytes << result.terminalBytes;
    ExpectSameReport(report,
                     ExpectedReport(c.names, c.contents, c.offset, c.selection, csv ? Form::Csv : Form::JsonLines));
    harness::WriteFile(Path(name), report);
    harness::RunOptions check;
    check.program = "/usr/bin/python3";
    check.args = {ZEV_FORMS_AGREE, Path("report.txt"), Path(name), std::to_string(c.selection.width),
                  c.selection.real ? "real" : "integer"};
    check.stdoutMode = StdoutMode::Pipe;
    const RunResult agreed = harness::RunOnTerminal(check);
    EXPECT_EQ(agreed.exitCode, 0) << agreed.stdoutBytes << agreed.terminalBytes;
  }
};

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
      ExpectSameReport(harness::ReadFile(Path("report.txt")),
                       ExpectedReport(c.names, c.contents, c.offset, c.selection));
      ExpectBanner(result);
    }
    if (i % 3 == 0) ExpectFormAgrees(c, engine);
    for (const std::string& name : c.names) unlink(Path(name).c_str());
  }
}
INSTANTIATE_TEST_SUITE_P(Batches, RandomRuns, testing::Range(0, 12));

// Some 1.6 MB of lines of 52 characters cross the edges of the 1 MiB buffer; a pipe must be waited for.
TEST_F(Report, LargerThanTheBufferToEveryDestination) {
  std::vector<std::string> contents(3, std::string(30000, '\0'));
  for (size_t i = 0; i < 30000; ++i) {
    contents[0][i] = static_cast<char>(i & 0x7F);
    contents[1][i] = static_cast<char>(0x80 | i);
    contents[2][i] = static_cast<char>(i * 13);
  }
  for (int k = 0; k < 3; ++k) MakeInput(std::string(1, "xyz"[k]), contents[k]);
  const std::string expected = ExpectedReport({"x", "y", "z"}, contents, 0);
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
  // 0x7F..0xFF against zeros, on a screen tall enough not to scroll (wine hands on 0x7F as it is).
  const int first = OnWindows() ? 0x80 : 0x7F;
  std::string high, zeros(0x100 - first, '\0');
  for (int b = first; b <= 0xFF; ++b) high += static_cast<char>(b);
  harness::RunOptions options = Options({MakeInput("high", high), MakeInput("zeros", zeros)});
  options.rows = 140;
  RunResult result = Run(options);
  ExpectOnTerminal(result, ExpectedReport({"high", "zeros"}, {high, zeros}, 0));
  EXPECT_EQ(result.RowText(6 + 0xB3 - first).substr(8), "   │179  $B3 '│' │  0  $00 '.'");
  options.args.push_back("-w:2");  // value columns are shown the same way
  ExpectOnTerminal(Run(options), ExpectedReport({"high", "zeros"}, {high, zeros}, 0, {.width = 2}));
  // Ten inputs make lines of 150 characters, a name of 255 a header step longer than the terminal's buffer; a name
  // never steers the terminal: a control, the lowest C1 control, the highest overlong sequence, a surrogate, a lone
  // combining mark, a zero width space, a noncharacter each show as code page glyphs.
  const std::string unsafe =
      "e\x1b[2J\xC2\x80\xE0\x9F\xBF\xED\xA0\x80\xCC\x81\xE2\x80\x8B\xEF\xBF\xBE\xC2\x9F\xEF\xB7\x90";
  std::vector<std::string> names, contents(10, std::string(32, 'z'));
  for (int k = 0; k < 10; ++k) {
    contents[k][5] = static_cast<char>('a' + k);
    contents[k][20] = static_cast<char>(0x80 + k);
    names.push_back(MakeInput(k == 3                   ? std::string(255, 'n')
                              : k == 6 && !OnWindows() ? unsafe
                                                       : "in" + std::to_string(k),
                              contents[k]));
  }
  options = Options(names);
  options.rows = 40;
  ExpectOnTerminal(Run(options), ExpectedReport(names, contents, 0));
  // Longer than the screen: the whole screen scrolls, not the window.
  std::string a(64, 'a'), b(64, 'a');
  for (int i = 0; i < 40; ++i) b[i] = static_cast<char>(i < 20 ? 'b' : 0xB0 + i % 16);
  result = Run({MakeInput("a", a), MakeInput("b", b)});
  EXPECT_EQ(result.exitCode, 0);
  ExpectScrolledReport(result, SplitReportLines(ExpectedReport({"a", "b"}, {a, b}, 0)));
}

}  // namespace
}  // namespace e2e
