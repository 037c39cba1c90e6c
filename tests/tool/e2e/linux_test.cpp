// What only the Linux program can be asked: permissions as another user,
// standard output put onto an input, names the file system refuses, sparse
// inputs past 4 GiB, destinations that fail, streams closed at the start,
// names that would steer the terminal, and runs under valgrind.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "e2e_support.h"

namespace e2e {
namespace {

class Linux : public ZevTest {
 protected:
  void SetUp() override {
    MakeInput("x", "abcdefgh");
    MakeInput("y", "abcdefgH");
  }
};

// Run as nobody when the suite runs as root, whom permissions let through.
TEST_F(Linux, InputsMustBeWritableAndTheReportToo) {
  MakeInput("ro", "read only");
  harness::WriteFile(Path("readonly.txt"), "old report");
  ASSERT_TRUE(chmod(Path("ro").c_str(), 0444) == 0 && chmod(Path("readonly.txt").c_str(), 0444) == 0);
  ASSERT_EQ(mkdir(Path("closed").c_str(), 0755), 0);  // nobody may not create in it
  const auto asNobody = [&](const std::vector<std::string>& args) {
    harness::RunOptions options = Options(args, StdoutMode::File);
    options.unprivileged = true;
    return Run(options);
  };
  EXPECT_EQ(asNobody({"x", "y", "-f:r.txt"}).exitCode, 0);
  EXPECT_EQ(harness::ReadFile(Path("r.txt")), HeaderLine({"x", "y"}) + DifferenceLine(7, {'h', 'H'}));
  ExpectFatal(asNobody({"x", "ro", "y", "-f:r.txt"}), "Can't open file: ro");
  ExpectStop(asNobody({"x", "y", "-f:readonly.txt"}), 5);
  ExpectStop(asNobody({"x", "y", "-f:closed/r.txt"}), 5);
  EXPECT_TRUE(harness::ReadFile(Path("readonly.txt")) == "old report" && access(Path("closed/r.txt").c_str(), F_OK) != 0);
}

// Standard output put onto an input receives nothing, not even a stop
// message; a name is never cut short to reach a file the user did not
// name (the file of the first 255 characters stands beside the runs).
TEST_F(Linux, NothingReachesAnInput) {
  const std::pair<const char*, std::vector<std::string>> onto[] = {{R"("$0" "$@" >> x)", {"x", "y", "-f:"}},
                                                                   {R"("$0" "$@" 1<>y)", {"x", "y", "-f:"}},
                                                                   {R"("$0" "$@" >> x)", {"x", "y", "-f:r.txt", "-o:-1"}}};
  for (const auto& [script, args] : onto) {
    const RunResult result = RunInShell(script, Options(args));
    EXPECT_EQ(result.exitCode, args.size() == 3 ? 5 : 131) << script;
    ExpectBanner(result, true);
  }
  const std::string longest(255, 'n'), longer = longest + "-and-more";
  MakeInput(longest, "the file of the first 255 characters");
  ExpectFatal(Run({"x", longer}), "Can't open file: " + longer);
  ExpectStop(Run({"x", "y", "-f:" + longer}, StdoutMode::File), 206);
  // A path of short names, longer than 255 characters in all: refused too.
  std::string deep = ".";
  for (int level = 0; level < 30; ++level) ASSERT_EQ(mkdir(Path(deep += "/dddddddd").c_str(), 0777), 0);
  MakeInput(deep + "/in", "abcdefgh");
  ExpectFatal(Run({"x", deep + "/in"}), "Can't open file: " + deep + "/in");
  ExpectStop(Run({"x", "y", "-f:" + deep + "/r.txt"}, StdoutMode::File), 206);
}

// Every failed hand-over of the report is error 101: a full device, a pipe
// whose reader has gone (not death by SIGPIPE).
TEST_F(Linux, AFullDeviceOrAClosedPipe) {
  ExpectStop(Run({"x", "y", "-f:/dev/full"}, StdoutMode::File), 101);
  MakeInput("a", std::string(8000, 'a'));  // a report larger than the pipe holds
  MakeInput("b", std::string(8000, 'b'));
  const RunResult result = RunInShell(R"("$0" "$@" | true; exit ${PIPESTATUS[0]})", Options({"a", "b", "-f:"}));
  EXPECT_EQ(result.exitCode, 101);
  ExpectBanner(result, true);
}

// A standard stream closed at the start is taken by no file of the run,
// so the stop message goes nowhere; one that cannot be written leaves the
// exit code alone.
TEST_F(Linux, AStreamClosedAtTheStart) {
  MakeInput("in", "input bytes\n");
  for (const char* redirect : {">&-", ">/dev/full"}) {
    const harness::RunOptions probe = Options({"files-then-stop", "in", "r.txt"}, StdoutMode::Terminal, TestCommand("runtime_probe"));
    EXPECT_EQ(RunInShell(std::string(R"(exec "$0" "$@" )") + redirect, probe).exitCode, 101) << redirect;
    EXPECT_EQ(harness::ReadFile(Path("r.txt")), "report\r\n");
  }
}

// Positions past 4 GiB take nine digits, and the header's lead widens to
// stay above them. Sparse files cost no disk; the offset skips 2 GiB.
TEST_F(Linux, PositionsWidenPastEightDigits) {
  const auto sparse = [&](const std::string& name, int64_t length, const std::vector<std::pair<int64_t, char>>& bytes) {
    const int fd = open(Path(name).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_EQ(ftruncate(fd, length), 0);
    for (const auto& [position, value] : bytes) ASSERT_EQ(pwrite(fd, &value, 1, position), 1);
    close(fd);
    watched.push_back(Path(name));
  };
  sparse("big1", 0x100000010, {{0x1000, 1}});
  sparse("big2", 0x100000015, {{0x7FFFFFF0, 7}, {0xFFFFFFFF, 8}, {0x100000000, 9}, {0x10000000F, 10}, {0x100000012, 11}});
  harness::RunOptions options = Options({"big1", "big2", "-o:$7FFFFFF0", "-f:r.txt"});
  options.timeoutMilliseconds = 240000;
  EXPECT_EQ(Run(options).exitCode, 0);
  EXPECT_EQ(harness::ReadFile(Path("r.txt")), HeaderLine({"big1", "big2"}, 9) + DifferenceLine(0x7FFFFFF0, {0, 7}, 9) +
                                                  DifferenceLine(0xFFFFFFFF, {0, 8}, 9) +
                                                  DifferenceLine(0x100000000, {0, 9}, 9) +
                                                  DifferenceLine(0x10000000F, {0, 10}, 9));
}

// On the terminal a name shows as UTF-8 or as code page glyphs, never as
// the control sequence it holds, and takes its cells in the name's field.
TEST_F(Linux, NamesNeverSteerTheTerminal) {
  MakeInput("plain", "13");
  for (const auto& [name, header] : {std::pair<std::string, std::string>{"e\x1b[2J\x1b[31mx", "e←[2J←[31mx"},
                                     {"\xC3\xBC" "ber.bin", "   über.bin"}}) {
    MakeInput(name, "12");
    const RunResult result = Run({name, "plain"});
    EXPECT_TRUE(result.exitCode == 0 && result.RowText(5) == " Files:     │ " + header + " │       plain") << result.RowText(5);
    EXPECT_EQ(result.RowText(6), "00000001   │ 50  $32 '2' │ 51  $33 '3'");
    harness::ExpectColours(result, 6, 0, 38, -1, -1);
  }
}

#ifdef ZEV_VALGRIND
// Under valgrind's memcheck, which changes the exit code to 99 when it
// finds anything: comparisons, one of the tool's messages, a stop.
TEST_F(Linux, UnderMemcheck) {
  std::string a(70000, 'a'), b = a;
  for (size_t i = 0; i < b.size(); i += 997) b[i] = static_cast<char>(i);
  MakeInput("a", a);
  MakeInput("b", b);
  const auto run = [&](const std::vector<std::string>& args, StdoutMode mode = StdoutMode::Terminal) {
    harness::RunOptions options = Options(args, mode, {"/usr/bin/valgrind", "-q", "--error-exitcode=99", "--log-file=/dev/null", ZEV_BINARY});
    options.timeoutMilliseconds = 120000;
    return Run(options);
  };
  EXPECT_EQ(run({"a", "b", "-f:r.txt"}).exitCode, 0);
  ExpectSameReport(harness::ReadFile(Path("r.txt")), ExpectedReport({"a", "b"}, {a, b}, 0));
  EXPECT_EQ(run({"a", "b", "-a", "-o:$100"}).exitCode, 0);
  ExpectFatal(run({"a", "missing"}), "Can't open file: missing");
  ExpectStop(run({"a", "b", "-o:-1"}, StdoutMode::File), 131);
}
#endif

}  // namespace
}  // namespace e2e
