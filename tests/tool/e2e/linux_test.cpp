// What only the Linux program is asked: permissions as another user, sparse inputs past 4 GiB, failing
// destinations, streams closed at the start, runs under valgrind.
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
  EXPECT_TRUE(harness::ReadFile(Path("readonly.txt")) == "old report" &&
              access(Path("closed/r.txt").c_str(), F_OK) != 0);
}

// Every failed hand-over is error 101: a full device, a pipe whose reader has
// gone (not death by SIGPIPE) before a report larger than it holds.
TEST_F(Linux, AFullDeviceOrAClosedPipe) {
  ExpectStop(Run({"x", "y", "-f:/dev/full"}, StdoutMode::File), 101);
  const RunResult result =
      RunInShell(R"("$0" "$@" | true; exit ${PIPESTATUS[0]})",
                 Options({MakeInput("a", std::string(8000, 'a')), MakeInput("b", std::string(8000, 'b')), "-f:"}));
  EXPECT_EQ(result.exitCode, 101);
  ExpectBanner(result);
}

// A stream closed at the start is taken by no file of the run, so the stop
// message goes nowhere; one that cannot be written leaves the exit code alone.
TEST_F(Linux, AStreamClosedAtTheStart) {
  MakeInput("in", "input bytes\n");
  for (const char* redirect : {">&-", ">/dev/full"}) {
    const harness::RunOptions probe =
        Options({"files-then-stop", "in", "r.txt"}, StdoutMode::Terminal, TestCommand("runtime_probe"));
    EXPECT_EQ(RunInShell(std::string(R"(exec "$0" "$@" )") + redirect, probe).exitCode, 101) << redirect;
    EXPECT_EQ(harness::ReadFile(Path("r.txt")), "report\r\n");
  }
  // A closed standard error is taken by no input either, with a report for other programs.
  const RunResult closed = RunInShell(R"(exec "$0" "$@" 2>&-)", Options({"x", "y", "-m:csv"}, StdoutMode::Pipe));
  EXPECT_TRUE(closed.exitCode == 0 && closed.stdoutBytes == "offset,x,y\r\n7,104,72\r\n") << closed.stdoutBytes;
}

// Positions past 4 GiB take nine digits, the header's lead widening to stay
// above them. Sparse files cost no disk; the offset skips 2 GiB.
TEST_F(Linux, PositionsWidenPastEightDigits) {
  const int64_t places[] = {0x7FFFFFF0, 0xFFFFFFFF, 0x100000000, 0x10000000F, 0x100000012};
  std::string expected = HeaderLine({"big1", "big2"}, 9);
  for (const char* name : {"big1", "big2"}) {
    const int fd = open(Path(name).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_EQ(ftruncate(fd, name[3] == '1' ? 0x100000010 : 0x100000015), 0);  // the last change lies past big1's end
    for (int k = 0; k < 5 && name[3] == '2'; ++k)
      ASSERT_EQ(pwrite(fd, std::string(1, static_cast<char>(7 + k)).data(), 1, places[k]), 1);
    close(fd);
    watched.push_back(Path(name));
  }
  for (int k = 0; k < 4; ++k) expected += DifferenceLine(places[k], {0, 7 + k}, 9);
  harness::RunOptions options = Options({"big1", "big2", "-o:$7FFFFFF0", "-f:r.txt"});
  options.timeoutMilliseconds = 240000;
  EXPECT_EQ(Run(options).exitCode, 0);
  EXPECT_EQ(harness::ReadFile(Path("r.txt")), expected);
  // Exactly 4 GiB: the last position, $FFFFFFFF, still fits eight digits; a byte more, and it takes nine.
  for (const int64_t length : {0x100000000, 0x100000001}) {
    ASSERT_EQ(truncate(Path("big1").c_str(), length), 0);
    EXPECT_EQ(Run(options).exitCode, 0);
    const int digits = length == 0x100000000 ? 8 : 9;
    EXPECT_EQ(harness::ReadFile(Path("r.txt")), HeaderLine({"big1", "big2"}, digits) +
                                                    DifferenceLine(places[0], {0, 7}, digits) +
                                                    DifferenceLine(places[1], {0, 8}, digits) +
                                                    (digits == 9 ? DifferenceLine(places[2], {0, 9}, 9) : ""));
  }
}

#ifdef ZEV_VALGRIND
// Under valgrind's memcheck, whose finding changes the exit code to 99: comparisons, a message, a stop.
TEST_F(Linux, UnderMemcheck) {
  std::string a(70000, 'a'), b = a;
  for (size_t i = 0; i < b.size(); i += 997) b[i] = static_cast<char>(i);
  MakeInput("a", a);
  MakeInput("b", b);
  const auto run = [&](const std::vector<std::string>& args, StdoutMode mode = StdoutMode::Terminal) {
    harness::RunOptions options =
        Options(args, mode, {"/usr/bin/valgrind", "-q", "--error-exitcode=99", "--log-file=/dev/null", ZEV_BINARY});
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

// Names hold any bytes: CSV quotes a name with a comma, a quote or a line break; JSON escapes quotes, backslashes
// (an input name's separator too) and control characters, and a byte outside UTF-8 becomes U+FFFD.
TEST_F(Linux, NamesInReportsForOtherPrograms) {
  const std::vector<std::string> names = {"c,d",  "q\"t",     "l\nf\x1F ",    "\xC3\xA9\xFF\xF0\x9F\x98\x80",
                                          "r\rt", "\xC1\xBF", "\xED\xBF\xBF", "e\\s"};
  ASSERT_EQ(mkdir(Path("e").c_str(), 0777), 0);
  for (const std::string& name : names) MakeInput(name == "e\\s" ? "e/s" : name, "m");
  std::vector<std::string> args = names;
  args.push_back("-m:csv");
  const RunResult csv = Run(Options(args, StdoutMode::Pipe));
  EXPECT_EQ(
      csv.stdoutBytes,
      "offset,\"c,d\",\"q\"\"t\",\"l\nf\x1F \",\xC3\xA9\xFF\xF0\x9F\x98\x80,\"r\rt\",\xC1\xBF,\xED\xBF\xBF,e\\s\r\n");
  args.back() = "-m:jsonl";
  const RunResult json = Run(Options(args, StdoutMode::Pipe));
  EXPECT_EQ(json.stdoutBytes.substr(0, json.stdoutBytes.find(']') + 1),
            "{\"files\":[\"c,d\",\"q\\\"t\",\"l\\u000af\\u001f "
            "\",\"\xC3\xA9\\ufffd\xF0\x9F\x98\x80\",\"r\\u000dt\",\"\\ufffd\\ufffd\","
            "\"\\ufffd\\ufffd\\ufffd\",\"e\\\\s\"]");
}

}  // namespace
}  // namespace e2e
