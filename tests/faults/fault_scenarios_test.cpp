// Every failure of every system call, through the real program: a clean run of each scenario logs zev's calls, then
// it runs once for every call (but the middle of a long run of alike calls) with every error that call can meet,
// and must end as what the call was doing says: the whole report after a failure to go through (an interruption, a
// short count, a full pipe, a close, the terminal's drawing); the tool's message while an input or the terminal is
// reached; else the stop the tables number, with exactly what was handed over before it.
#include <unistd.h>

#include <algorithm>
#include <map>
#include <sstream>

#include "e2e_support.h"

namespace e2e {
namespace {

constexpr int kShort = -1, kNothing = -2;

// The errors each call meets, and the stop number each gives (0: the run goes on).
const std::map<std::string, std::vector<std::pair<int, unsigned>>> kFaults = {
    {"open",
     {{EACCES, 5},
      {ENOENT, 2},
      {ENOTDIR, 3},
      {EMFILE, 4},
      {EROFS, 150},
      {ENXIO, 152},
      {EIO, 154},
      {ENAMETOOLONG, 206},
      {ENOSPC, 112},
      {ELOOP, 1921},
      {EILSEQ, 123},
      {EINTR, 0}}},
    {"fstat", {{EIO, 154}, {ENOMEM, 8}, {EOVERFLOW, 162}, {EINTR, 0}}},
    {"flock", {{EWOULDBLOCK, 5}, {ENOLCK, 5}, {EINTR, 0}}},
    {"lseek", {{EIO, 154}, {EINVAL, 87}, {EINTR, 0}}},
    {"read", {{EIO, 154}, {EINTR, 0}, {kShort, 0}, {kNothing, 100}}},
    {"write", {{ENOSPC, 101}, {EPIPE, 101}, {EINTR, 0}, {EAGAIN, 0}, {kShort, 0}, {kNothing, 101}}},
    {"ftruncate", {{EIO, 154}, {EROFS, 150}, {EINTR, 0}}},
    {"close", {{EIO, 0}}},
    {"ioctl", {{EIO, 154}, {EINTR, 0}}}};

enum Role { kOther, kOpeningInput, kConsole, kConsoleSize, kGoesOn, kRead, kGuard };

struct Call {
  std::string name, handle;  // open: the path
  uint64_t index;
  long long result;
  Role role = kOther;
  int64_t input = 0;  // the input being opened; for a read, the block
};

const std::pair<std::vector<std::string>, StdoutMode> kScenarios[] = {
    {{"in0", "in1", "-f:r.txt"}, StdoutMode::Terminal},
    {{"in0", "in1", "-f:"}, StdoutMode::File},
    {{"in0", "in1", "-f:"}, StdoutMode::Pipe},
    {{"in0", "in1", "-o:$9C9A"}, StdoutMode::Terminal},  // the report on the terminal, some 30 lines
    {{"in0", "in1", "in2", "in3", "in4", "in5", "in6", "in7", "in8", "in9", "-o:5000", "-f:r.txt"}, StdoutMode::File}};

class FaultScenarios : public ZevTest, public testing::WithParamInterface<int> {
 protected:
  RunResult RunWith(const std::string& plan, bool logged) {
    harness::WriteFile(Path("r.txt"), "stale report\r\n");
    unlink(Path("log").c_str());
    setenv("LD_PRELOAD", FAULT_INJECTOR, 1);
    setenv("ZEV_FAULT_PLAN", plan.c_str(), 1);
    logged ? setenv("ZEV_FAULT_LOG", Path("log").c_str(), 1) : unsetenv("ZEV_FAULT_LOG");
    RunResult result = Run(kScenarios[GetParam()].first, kScenarios[GetParam()].second);
    unsetenv("LD_PRELOAD");
    return result;
  }
};

// What each call of the clean run was doing, told by the handle it used.
void Classify(std::vector<Call>& calls, const std::vector<std::string>& names, bool stdoutOnTerminal) {
  std::map<std::string, int64_t> inputOf;        // handle: input
  std::map<std::string, bool> console, opening;  // handles of the console, of inputs not yet held
  console["1"] = stdoutOnTerminal;
  int64_t reads = 0;
  for (size_t i = 0; i < calls.size(); ++i) {
    Call& call = calls[i];
    const auto input = inputOf.find(call.handle);
    const std::string result = std::to_string(call.result);
    if (call.name == "open") {
      const auto name = std::find(names.begin(), names.end(), call.handle);
      if (name != names.end()) {
        inputOf[result] = call.input = name - names.begin();
        opening[result] = true;
        call.role = kOpeningInput;
      }
      // The terminal reached before any input is the console's; later it is the report's.
      if (call.handle == "/dev/tty" && inputOf.empty()) call.role = kConsole;
      console[result] = call.role == kConsole;
    } else if (input != inputOf.end() && opening[call.handle]) {
      call.role = kOpeningInput;
      call.input = input->second;
      opening[call.handle] = call.name != "flock";  // held from its lock on
    } else if (input != inputOf.end() && call.name == "read") {
      call.role = kRead;
      call.input = reads++ / static_cast<int64_t>(names.size());
    } else if (call.name == "ioctl") {
      // The size of standard output's terminal, else of the one opened for the console.
      call.role = call.handle == "1" ? kGoesOn : kConsoleSize;
    } else if (call.name == "fstat" && call.handle == "1" && i > 0 && calls[i - 1].name == "flock") {
      call.role = kGuard;  // the look whether standard output is the input just held
    } else if ((call.name == "write" && console[call.handle]) || call.name == "close") {
      call.role = kGoesOn;  // drawing never fails the run
    }
  }
}

TEST_P(FaultScenarios, EveryCallFailsInTurn) {
  const auto& [args, mode] = kScenarios[GetParam()];
  std::vector<std::string> names, contents;
  int64_t offset = 0;
  for (const std::string& arg : args) {
    if (arg.rfind("-o:", 0) == 0) offset = std::stoll(arg[3] == '$' ? "0x" + arg.substr(4) : arg.substr(3), 0, 0);
    if (arg[0] == '-') continue;
    std::string bytes(70000, '\0');
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 31 + 7);
    for (size_t i = names.size() * 13; i < bytes.size(); i += 997) bytes[i] = static_cast<char>(names.size() * 25);
    names.push_back(MakeInput(arg, bytes));
    contents.push_back(bytes);
  }
  const bool toFile = args.back() == "-f:r.txt", toStdout = args.back() == "-f:";
  const std::string expected = ExpectedReport(names, contents, offset);
  const std::vector<std::string> lines = SplitReportLines(expected);
  const auto report = [&](const RunResult& result) {
    return toFile ? harness::ReadFile(Path("r.txt")) : result.stdoutBytes;
  };
  const auto expectComplete = [&](const RunResult& result, bool drawn) {
    EXPECT_EQ(result.exitCode, 0);
    if (!toFile && !toStdout) return ExpectScrolledReport(result, lines);
    ExpectSameReport(report(result), expected);
    if (drawn) ExpectBanner(result);
  };
  expectComplete(RunWith("", true), true);
  std::vector<Call> calls;
  std::istringstream log(harness::ReadFile(Path("log")));
  for (Call call; log >> call.name >> call.index >> call.handle >> call.result;) calls.push_back(call);
  ASSERT_GT(calls.size(), 10u) << "the injector was not loaded";
  Classify(calls, names, mode == StdoutMode::Terminal);
  if (!toFile && !toStdout) {
    // On the terminal each piece of a line goes out as it is found: the lead, a column a file, the line end.
    std::string terminal;
    for (const Call& call : calls) terminal = call.handle == "/dev/tty" ? std::to_string(call.result) : terminal;
    const auto pieces = std::count_if(calls.begin(), calls.end(),
                                      [&](const Call& c) { return c.name == "write" && c.handle == terminal; });
    EXPECT_EQ(static_cast<size_t>(pieces), lines.size() * (names.size() + 2));
  }
  // A long run of one kind of call, such as the pieces of thirty report lines, only repeats itself in the middle.
  std::map<std::tuple<std::string, std::string, int, int64_t>, int> total, seen;
  for (const Call& call : calls) ++total[{call.name, call.handle, call.role, call.input}];
  for (const Call& call : calls) {
    const auto kind = std::tuple(call.name, call.handle, call.role, call.input);
    const int at = seen[kind]++;
    if (at >= 16 && at + 8 < total[kind]) continue;
    const Role role = call.role;
    for (const auto& [error, number] : kFaults.at(call.name)) {
      const std::string plan = call.name + " " + std::to_string(call.index) + " " + std::to_string(error);
      SCOPED_TRACE(plan + " (" + call.handle + ")");
      const RunResult result = RunWith(plan, false);
      if (number == 0 || role == kGoesOn) {
        expectComplete(result, number == 0 || call.name != "write");
      } else if (role == kGuard) {
        // Standard output may be that input: it is let go, and the run stops with the number, writing nothing.
        EXPECT_EQ(result.exitCode, static_cast<int>(number & 0xFF));
        EXPECT_EQ(result.stdoutBytes + report(result), toFile ? "stale report\r\n" : "");
        EXPECT_EQ(result.terminalBytes.find("Runtime error"), std::string::npos);
      } else if (role == kOpeningInput) {
        ExpectFatal(result, "Can't open file: " + names[static_cast<size_t>(call.input)]);
        EXPECT_EQ(report(result), toFile ? "stale report\r\n" : "");
      } else if (role == kConsole || role == kConsoleSize) {
        EXPECT_TRUE(result.exitCode == 1 &&
                    result.RowText(0) == (role == kConsole ? "No way to get the console handle"
                                                           : "No way to get console screen buffer info"));
      } else {
        // A stop, its message on standard output or the terminal: a failed read hands over exactly the blocks
        // before it, anything else a beginning of the report.
        const std::string handedOver = toStdout ? ParseStop(result.stdoutBytes).before : report(result);
        if (mode != StdoutMode::Terminal) ExpectStop(result, number, toStdout ? handedOver : "");
        EXPECT_EQ(result.exitCode, static_cast<int>(number & 0xFF));
        EXPECT_EQ(result.terminalBytes.find("Runtime error " + std::to_string(number) + " at 0x") != std::string::npos,
                  mode == StdoutMode::Terminal);
        std::string below;  // the header and the lines of the positions before the failed block
        for (const std::string& line : lines) {
          const int64_t position = std::stoll(line.substr(0, 8), nullptr, 16);
          if (below.empty() || position < offset + call.input * 65536) below += line + "\r\n";
        }
        if (role == kRead && (toFile || toStdout)) {
          EXPECT_EQ(handedOver, below);
        } else if ((toFile || toStdout) && handedOver != "stale report\r\n") {
          EXPECT_EQ(expected.compare(0, handedOver.size(), handedOver), 0) << "not a beginning of the report";
        }
      }
      if (HasFailure()) return;
    }
  }
}
INSTANTIATE_TEST_SUITE_P(Scenarios, FaultScenarios, testing::Range(0, 5));

// Standard output put onto an input: when it cannot be looked at, or the null device it goes to cannot be opened,
// the run stops with the error's number and the input receives nothing.
TEST_F(ZevTest, StandardOutputOntoAnInputFailsSafe) {
  MakeInput("x", "abcdefgh");
  MakeInput("y", "abcdefgH");
  for (const auto& [plan, number] : {std::pair<std::string, int>{"", 5}, {"fstat 2 5", 154}, {"open 3 24", 4}}) {
    const std::string script = "ZEV_FAULT_PLAN='" + plan + "' LD_PRELOAD='" FAULT_INJECTOR "' exec \"$0\" \"$@\">>x";
    const RunResult result = RunInShell(script, Options({"x", "y", "-f:"}));
    EXPECT_EQ(result.exitCode, number) << plan;
    ExpectBanner(result);
  }
}

}  // namespace
}  // namespace e2e
