// What gets compared and reported: block boundaries, absolute positions
// after a start offset, the selections, devices and inputs that are held.
#include <sys/stat.h>
#include <unistd.h>

#include <ostream>
#include <string>
#include <vector>

#include "e2e_support.h"
#include "report_model.h"

namespace e2e {
namespace {

// The positions of a report's difference lines, as written.
std::vector<std::string> ReportedPositions(const std::string& report) {
  std::vector<std::string> positions;
  std::vector<std::string> lines = SplitReportLines(report);
  for (size_t i = 1; i < lines.size(); ++i) positions.push_back(lines[i].substr(0, lines[i].find(' ')));
  return positions;
}

struct BoundaryCase {
  int64_t length;
  int64_t offset;
  std::vector<int64_t> changed;
  std::vector<std::string> reported;
};

void PrintTo(const BoundaryCase& c, std::ostream* out) {
  *out << "length " << c.length << " offset " << c.offset;
}

class BlockBoundary : public ZevTest, public testing::WithParamInterface<BoundaryCase> {};

TEST_P(BlockBoundary, EveryChangedPositionIsReportedOnceAtItsAbsolutePosition) {
  const BoundaryCase& c = GetParam();
  std::string first(static_cast<size_t>(c.length), 'q');
  std::string second = first + "past the end of the shortest";
  for (int64_t position : c.changed) second[position] = 'Q';
  MakeInput("first", first);
  MakeInput("second", second);
  harness::RunResult result =
      Run({"first", "second", "-o:" + std::to_string(c.offset), "-f:report.txt"});
  EXPECT_EQ(result.exitCode, 0);
  const std::string report = harness::ReadFile(Path("report.txt"));
  EXPECT_EQ(ReportedPositions(report), c.reported);
  ExpectSameReport(report, ExpectedReport({"first", "second"}, {first, second}, c.offset, {}));
}

INSTANTIATE_TEST_SUITE_P(
    Lengths, BlockBoundary,
    testing::Values(
        BoundaryCase{65535, 0, {0, 65534}, {"00000000", "0000FFFE"}},
        BoundaryCase{65536, 0, {0, 65535}, {"00000000", "0000FFFF"}},
        BoundaryCase{65537, 0, {65535, 65536}, {"0000FFFF", "00010000"}},
        BoundaryCase{131077, 0, {65536, 131071, 131072, 131076}, {"00010000", "0001FFFF", "00020000", "00020004"}},
        BoundaryCase{65636, 100, {99, 100, 65635}, {"00000064", "00010063"}},
        BoundaryCase{65637, 100, {65635, 65636}, {"00010063", "00010064"}},
        BoundaryCase{65538, 1, {0, 1, 65536, 65537}, {"00000001", "00010000", "00010001"}},
        BoundaryCase{200, 16, {15, 16, 199}, {"00000010", "000000C7"}},
        BoundaryCase{200, 200, {0, 199}, {}},
        BoundaryCase{0, 0, {}, {}}));

using Comparison = ZevTest;

TEST_F(Comparison, TheStartOffsetInItsForms) {
  // Every byte differs, so the first line names the first compared position.
  std::string zeros(300, '\0'), ones(300, '\1');
  MakeInput("z", zeros);
  MakeInput("o", ones);
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"-o:100"}, "00000064"}, {{"-o:$10"}, "00000010"}, {{"-O:$ff"}, "000000FF"},
      {{"-o:abc"}, "00000000"}, {{"-o:"}, "00000000"},    {{"-o"}, "00000000"},
      {{"-o:12x"}, "00000000"}, {{"-o: 12"}, "0000000C"}, {{"-o:+7"}, "00000007"},
      {{"-o:%101"}, "00000005"}, {{"-o:&17"}, "0000000F"}, {{"-o:10", "-o:20"}, "00000014"},
      {{"-o:299"}, "0000012B"}, {{"-ox12"}, "0000000C"},
  };
  for (const auto& [switches, first] : cases) {
    SCOPED_TRACE(switches.back());
    std::vector<std::string> args = {"z", "o", "-f:r.txt"};
    args.insert(args.end(), switches.begin(), switches.end());
    harness::RunResult result = Run(args);
    EXPECT_EQ(result.exitCode, 0);
    const std::vector<std::string> positions = ReportedPositions(harness::ReadFile(Path("r.txt")));
    ASSERT_FALSE(positions.empty());
    EXPECT_EQ(positions.front(), first);
    EXPECT_EQ(positions.back(), "0000012B");
  }
}

// Three inputs, one position per row; each column a set of switches.
struct SelectionRow {
  int x1, x2, x3;
  const char* selected;  // Y or N for each switch set below, in order
};

const std::vector<std::vector<std::string>> kSwitchSets = {
    {}, {"-a"}, {"-d"}, {"-a", "-d"}, {"-s"}, {"-s:1"}, {"-s:-1"}, {"-s:2"}, {"-s:$2"}, {"-a", "-s:-1"}, {"-s:0"},
};

const std::vector<SelectionRow> kThreeInputs = {
    {1, 2, 2, "YNNNNNNNNNN"},
    {3, 2, 1, "YNYYYNYNNYN"},
    {1, 3, 2, "YNNNNNNNNNN"},
    {5, 5, 5, "NNNNNNNNNNN"},
    {1, 2, 3, "YYNYYYNNNYN"},
    {1, 3, 5, "YYNYYNNYYYN"},
    {0xFE, 0xFF, 0x00, "YNNNNNNNNNN"},  // no wrap-around: 255 to 0 is a fall of 255
    {0x7F, 0x80, 0x81, "YYNYYYNNNYN"},  // unsigned: 0x80 lies above 0x7F
    {200, 100, 0, "YNYYYNNNNNN"},
    {0, 0, 1, "YNNNNNNNNNN"},
    {0xFF, 0xFE, 0xFD, "YNYYYNYNNYN"},
};

TEST_F(Comparison, SelectionsOnThreeInputs) {
  std::string x1, x2, x3;
  for (const SelectionRow& row : kThreeInputs) {
    x1 += static_cast<char>(row.x1);
    x2 += static_cast<char>(row.x2);
    x3 += static_cast<char>(row.x3);
  }
  MakeInput("x1", x1);
  MakeInput("x2", x2);
  MakeInput("x3", x3);
  for (size_t set = 0; set < kSwitchSets.size(); ++set) {
    std::vector<std::string> args = kSwitchSets[set];
    std::string label = "switches:";
    for (const std::string& s : args) label += " " + s;
    SCOPED_TRACE(label);
    args.insert(args.begin(), {"x1", "x2", "x3", "-f:r.txt"});
    harness::RunResult result = Run(args);
    EXPECT_EQ(result.exitCode, 0);
    std::vector<std::string> expected;
    for (size_t row = 0; row < kThreeInputs.size(); ++row)
      if (kThreeInputs[row].selected[set] == 'Y') expected.push_back(HexText(row, 8));
    EXPECT_EQ(ReportedPositions(harness::ReadFile(Path("r.txt"))), expected);
  }
}

TEST_F(Comparison, SelectionsOnTwoInputs) {
  // Rows: 7F/80, 80/7F, 05/06, 05/07, 06/05, 09/09.
  MakeInput("p", std::string("\x7F\x80\x05\x05\x06\x09", 6));
  MakeInput("q", std::string("\x80\x7F\x06\x07\x05\x09", 6));
  const std::vector<std::pair<std::vector<std::string>, std::vector<std::string>>> cases = {
      {{}, {"00000000", "00000001", "00000002", "00000003", "00000004"}},
      {{"-a"}, {"00000000", "00000002", "00000003"}},
      {{"-d"}, {"00000001", "00000004"}},
      {{"-a", "-d"}, {"00000000", "00000001", "00000002", "00000003", "00000004"}},
      {{"-s"}, {"00000000", "00000001", "00000002", "00000003", "00000004"}},
      {{"-s:1"}, {"00000000", "00000002"}},
      {{"-S:-1"}, {"00000001", "00000004"}},
      {{"-s:2"}, {"00000003"}},
      {{"-d", "-s:2"}, {"00000001", "00000003", "00000004"}},
  };
  for (const auto& [switches, expected] : cases) {
    std::vector<std::string> args = {"p", "q", "-f:r.txt"};
    args.insert(args.end(), switches.begin(), switches.end());
    SCOPED_TRACE(args.size() > 3 ? args.back() : "none");
    harness::RunResult result = Run(args);
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(ReportedPositions(harness::ReadFile(Path("r.txt"))), expected);
  }
}

TEST_F(Comparison, NothingSelectedGivesTheHeaderAlone) {
  MakeInput("same1", "identical bytes");
  MakeInput("same2", "identical bytes");
  MakeInput("longer", "identical bytes and then some more");
  MakeInput("empty", "");
  MakeInput("other", "completely different");
  const std::vector<std::vector<std::string>> cases = {
      {"same1", "same2"},
      {"same1", "longer", "same2"},
      {"empty", "other", "same1"},
      {"other", "/dev/null"},
      {"/dev/null", "/dev/null"},
      {"same1", "other", "-o:15"},
      {"same1", "other", "-s:0"},
  };
  for (const std::vector<std::string>& names : cases) {
    std::vector<std::string> args = names;
    args.push_back("-f:r.txt");
    std::vector<std::string> files;
    for (const std::string& name : names)
      if (name[0] != '-') files.push_back(name);
    SCOPED_TRACE(args.front() + " " + args[1]);
    harness::RunResult result = Run(args);
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(harness::ReadFile(Path("r.txt")), HeaderLine(files));
  }
}

TEST_F(Comparison, AnInputHeldOnceCannotBeOpenedAgain) {
  MakeInput("a", "abc");
  MakeInput("b", "abd");
  ASSERT_EQ(link(Path("a").c_str(), Path("hard").c_str()), 0);
  ASSERT_EQ(symlink("a", Path("soft").c_str()), 0);
  WatchInput(Path("hard"));
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"a", "a"}, "a"},       {{"a", "./a"}, "./a"},   {{"./a", "a"}, "a"},
      {{"a", "b", "a"}, "a"},  {{"a", "hard"}, "hard"}, {{"soft", "b", "a"}, "a"},
      {{"a", ".\\a"}, ".\\a"},
  };
  for (const auto& [args, refused] : cases) {
    SCOPED_TRACE(args[0] + " " + args[1]);
    harness::RunResult result = Run(args);
    ExpectFatal(result, "Can't open file: " + refused);
  }
}

TEST_F(Comparison, NamesAreFilesUnlessTheyStartWithAMinus) {
  // An absolute path and a backslash path name files; so would "/a".
  MakeInput("a", "xy");
  ASSERT_EQ(mkdir(Path("sub").c_str(), 0755), 0);
  MakeInput("sub/c", "xz");
  harness::RunResult result = Run({Path("a"), "sub\\c", "-f:r.txt"});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(harness::ReadFile(Path("r.txt")),
            HeaderLine({Path("a"), "sub\\c"}) + DifferenceLine(1, {'y', 'z'}));
  // The letter after "-" decides, whatever follows it.
  MakeInput("data.bin", "ab");
  result = Run({"a", "sub/c", "-data.bin", "-f:r.txt"});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(harness::ReadFile(Path("r.txt")), HeaderLine({"a", "sub/c"}));
}

TEST_F(Comparison, TenInputsMakeLinesOf150Characters) {
  std::vector<std::string> names, contents;
  for (int k = 0; k < 10; ++k) {
    std::string bytes(1000, static_cast<char>(0x30));
    bytes[0] = static_cast<char>(k);            // rising control bytes
    bytes[999] = static_cast<char>(0xF6 + k);   // rising high bytes
    bytes[500] = static_cast<char>(k == 9 ? 1 : 0);
    names.push_back(MakeInput("ten" + std::to_string(k), bytes));
    contents.push_back(bytes);
  }
  std::vector<std::string> args = names;
  args.push_back("-f:r.txt");
  args.push_back("-a");
  harness::RunResult result = Run(args);
  EXPECT_EQ(result.exitCode, 0);
  const std::string report = harness::ReadFile(Path("r.txt"));
  const std::vector<std::string> lines = SplitReportLines(report);
  ASSERT_EQ(lines.size(), 3u);
  for (const std::string& line : lines) EXPECT_EQ(line.size(), 150u);
  EXPECT_EQ(ReportedPositions(report), (std::vector<std::string>{"00000000", "000003E7"}));
  ExpectSameReport(report, ExpectedReport(names, contents, 0, {.ascending = true}));
}

}  // namespace
}  // namespace e2e
