// What gets compared and reported: block boundaries, absolute positions
// after a start offset, devices, inputs that are held, inputs past 4 GiB.
#include <fcntl.h>
#include <unistd.h>

#include "e2e_support.h"

namespace e2e {
namespace {

using Comparison = ZevTest;

// The positions of a report's difference lines, as written.
std::vector<std::string> ReportedPositions(const std::string& report) {
  std::vector<std::string> lines = SplitReportLines(report), positions;
  for (size_t i = 1; i < lines.size(); ++i) positions.push_back(lines[i].substr(0, lines[i].find(' ')));
  return positions;
}

// Blocks are counted from the start offset; positions stay absolute.
TEST_F(Comparison, EveryChangeIsReportedOnceAtItsAbsolutePosition) {
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
    RunResult result = Run({"first", "second", "-o:" + std::to_string(c.offset), "-f:r.txt"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(ReportedPositions(harness::ReadFile(Path("r.txt"))), c.reported);
  }
}

// Devices measure 0: nothing is read from them, nothing reported.
TEST_F(Comparison, TheNullDeviceGivesTheHeaderAlone) {
  MakeInput("other", "completely different");
  for (const std::string first : {"other", "/dev/null"}) {
    EXPECT_EQ(Run({first, "/dev/null", "-f:r.txt"}).exitCode, 0);
    EXPECT_EQ(harness::ReadFile(Path("r.txt")), HeaderLine({first, "/dev/null"}));
  }
}

// However it is reached, a file already held is refused the second time.
TEST_F(Comparison, AnInputHeldOnceCannotBeOpenedAgain) {
  MakeInput("a", "abc");
  MakeInput("b", "abd");
  ASSERT_EQ(link(Path("a").c_str(), Path("hard").c_str()), 0);
  ASSERT_EQ(symlink("a", Path("soft").c_str()), 0);
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"a", "a"}, "a"},       {{"a", "./a"}, "./a"},     {{"a", "b", "a"}, "a"},
      {{"a", "hard"}, "hard"}, {{"soft", "b", "a"}, "a"},
  };
  for (const auto& [args, refused] : cases) {
    SCOPED_TRACE(args[0] + " " + args[1]);
    ExpectFatal(Run(args), "Can't open file: " + refused);
  }
}

// An input past 4 GiB, made as a sparse file so that it costs no disk.
// The start offset skips the first 2 GiB; the rest is still read in full.
// Every position of the report takes nine digits, and the header's lead
// widens by one to stay above them.
TEST_F(Comparison, PositionsWidenPastEightDigits) {
  const auto makeSparse = [&](const std::string& name, int64_t length,
                              const std::vector<std::pair<int64_t, uint8_t>>& bytes) {
    const int fd = open(Path(name).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(ftruncate(fd, length), 0);
    for (const auto& [position, value] : bytes) ASSERT_EQ(pwrite(fd, &value, 1, position), 1);
    close(fd);
    watched.push_back(Path(name));
  };
  makeSparse("big1", 0x100000010, {{0x1000, 1}});
  makeSparse("big2", 0x100000015,
             {{0x7FFFFFF0, 7}, {0xFFFFFFFF, 8}, {0x100000000, 9}, {0x10000000F, 10}, {0x100000012, 11}});
  harness::RunOptions options = Options({"big1", "big2", "-o:$7FFFFFF0", "-f:r.txt"});
  options.timeoutMilliseconds = 240000;
  EXPECT_EQ(Run(options).exitCode, 0);
  EXPECT_EQ(harness::ReadFile(Path("r.txt")),
            "Files:      \xB3        big1 \xB3        big2\r\n"
            "07FFFFFF0   \xB3  0  $00 '.' \xB3  7  $07 '.'\r\n"
            "0FFFFFFFF   \xB3  0  $00 '.' \xB3  8  $08 '.'\r\n"
            "100000000   \xB3  0  $00 '.' \xB3  9  $09 '.'\r\n"
            "10000000F   \xB3  0  $00 '.' \xB3 10  $0A '.'\r\n");
}

}  // namespace
}  // namespace e2e
