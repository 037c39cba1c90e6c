// Inputs past 4 GiB, made as sparse files so that they cost no disk. The
// start offset skips the first 2 GiB; the rest is still read in full.
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "e2e_support.h"
#include "report_model.h"

namespace e2e {
namespace {

class LargeInput : public ZevTest {
 protected:
  // A file of zeros of the given length with some bytes set.
  void MakeSparse(const std::string& name, int64_t length,
                  const std::vector<std::pair<int64_t, uint8_t>>& bytes) {
    const int fd = open(Path(name).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(ftruncate(fd, length), 0);
    for (const auto& [position, value] : bytes) ASSERT_EQ(pwrite(fd, &value, 1, position), 1);
    close(fd);
    WatchInput(Path(name));
  }

  harness::RunResult RunLong(const std::vector<std::string>& args) {
    harness::RunOptions options = Options(args);
    options.timeoutMilliseconds = 240000;
    return Run(options);
  }
};

TEST_F(LargeInput, PositionsWidenPastEightDigits) {
  const int64_t length = 0x100000010;
  MakeSparse("big1", length, {{0x1000, 1}});
  MakeSparse("big2", length + 5,
             {{0x7FFFFFF0, 7}, {0xFFFFFFFF, 8}, {0x100000000, 9}, {0x10000000F, 10}, {0x100000012, 11}});
  harness::RunResult result = RunLong({"big1", "big2", "-o:$7FFFFFF0", "-f:r.txt"});
  EXPECT_EQ(result.exitCode, 0);
  const std::string report = harness::ReadFile(Path("r.txt"));
  // Every position of this report takes nine digits, and the header's lead
  // widens by one to stay above them.
  const std::vector<std::string> lines = SplitReportLines(report);
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0], "Files:      \xB3        big1 \xB3        big2");
  EXPECT_EQ(lines[1].substr(0, 14), "07FFFFFF0   \xB3 ");
  EXPECT_EQ(lines[2].substr(0, 9), "0FFFFFFFF");
  EXPECT_EQ(lines[3].substr(0, 9), "100000000");
  EXPECT_EQ(lines[4].substr(0, 9), "10000000F");
  EXPECT_EQ(report, HeaderLine({"big1", "big2"}, 9) + DifferenceLine(0x7FFFFFF0, {0, 7}, 9) +
                        DifferenceLine(0xFFFFFFFF, {0, 8}, 9) + DifferenceLine(0x100000000, {0, 9}, 9) +
                        DifferenceLine(0x10000000F, {0, 10}, 9));
}

TEST_F(LargeInput, FourGibibytesStillFitInEightDigits) {
  const int64_t length = 0x100000000;
  MakeSparse("big1", length, {});
  MakeSparse("big2", length, {{0x80000000, 0x80}, {0xFFFFFFFF, 0xFF}});
  harness::RunResult result = RunLong({"big1", "big2", "-o:2147483647", "-f:r.txt", "-a"});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(harness::ReadFile(Path("r.txt")),
            HeaderLine({"big1", "big2"}) + DifferenceLine(0x80000000, {0, 0x80}) +
                DifferenceLine(0xFFFFFFFF, {0, 0xFF}));
}

}  // namespace
}  // namespace e2e
