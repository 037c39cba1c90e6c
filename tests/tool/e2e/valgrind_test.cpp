// A few whole runs under valgrind's memcheck: identical inputs, differing
// inputs on the terminal and to a file, one of the tool's own messages,
// and a run-time error stop.
#include "e2e_support.h"

namespace e2e {
namespace {

constexpr int kMemcheckFound = 99;

class Memcheck : public ZevTest {
 protected:
  void SetUp() override {
    a = std::string(70000, 'a');
    b = a;
    for (size_t i = 0; i < b.size(); i += 997) b[i] = static_cast<char>(i);
    MakeInput("a", a);
    MakeInput("b", b);
    MakeInput("same", a);
  }
  harness::RunOptions Slow(const std::vector<std::string>& args, StdoutMode mode = StdoutMode::Terminal) {
    harness::RunOptions options = Options(args, mode);
    options.timeoutMilliseconds = 120000;
    return options;
  }
  std::string a, b;
};

TEST_F(Memcheck, ComparisonsAreClean) {
  RunResult result = Run(Slow({"a", "same", "-f:r.txt"}));
  EXPECT_EQ(result.exitCode, 0);
  ExpectSameReport(harness::ReadFile(Path("r.txt")), ExpectedReport({"a", "same"}, {a, a}, 0));
  result = Run(Slow({"a", "b", "-f:r.txt"}));
  EXPECT_EQ(result.exitCode, 0);
  ExpectSameReport(harness::ReadFile(Path("r.txt")), ExpectedReport({"a", "b"}, {a, b}, 0));
  result = Run(Slow({"a", "b", "-a", "-o:$100"}));
  EXPECT_EQ(result.exitCode, 0);
}

TEST_F(Memcheck, AMessageAndAStopAreClean) {
  RunResult result = Run(Slow({"a", "missing"}));
  EXPECT_NE(result.exitCode, kMemcheckFound);
  ExpectFatal(result, "Can't open file: missing");
  result = Run(Slow({"a", "b", "-o:-1"}, StdoutMode::File));
  EXPECT_EQ(result.exitCode, 131);
  ExpectStopMessage(result.stdoutBytes, 131);
}

}  // namespace
}  // namespace e2e
