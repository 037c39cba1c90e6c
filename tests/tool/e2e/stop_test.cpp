// Run-time error stops: the tool's (a report that cannot be made, a negative
// offset), with places addr2line names; the probe's endings, levels, faults.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <map>
#include <sstream>

#include "e2e_support.h"

namespace e2e {
namespace {

const std::string kHandedOver = "handed over\r\n";

class Stop : public ZevTest {
 protected:
  void SetUp() override {
    MakeInput("a", "same-A");
    MakeInput("b", "same-B");
  }
  RunResult Probe(const std::vector<std::string>& args, StdoutMode mode, bool terminal = true) {
    harness::RunOptions options = Options(args, mode, TestCommand("runtime_probe"));
    options.controllingTerminal = terminal;  // without, standard error is kept apart
    return Run(options);
  }
};

// The stop message as the screen shows it, from its first line on.
StopMessage ShownStop(const RunResult& result) {
  std::string text;
  for (int row = 0; row < result.rows && (text.empty() || text.find("\r\n\r\n") == std::string::npos); ++row) {
    const std::string line = result.RowText(row);
    if (!text.empty() || line.find("Runtime error ") != std::string::npos)
      text += line.substr(text.empty() ? line.find('R') : 0) + "\r\n";
  }
  return ParseStop(text);
}

// A name that reaches an input, or no file that can be made, is refused before anything is
// touched; a report for a negative offset is made, empty.
TEST_F(Stop, RefusedReportNamesAndANegativeOffset) {
  ASSERT_EQ(mkdir(Path("sub").c_str(), 0755), 0);
  harness::WriteFile(Path("old.txt"), "old contents");
  std::vector<std::pair<std::vector<std::string>, unsigned>> cases = {{{"-f:a"}, 5},
                                                                      {{"-f:sub"}, 5},
                                                                      {{"-f:no-such-dir/r.txt"}, 3},
                                                                      {{"-o:7", "-f:no-such-dir/r.txt"}, 3},
                                                                      {{"-o:-1", "-f:new.txt"}, 131},
                                                                      {{"-o:$FFFFFFFF", "-f:old.txt"}, 131},
                                                                      {{"-f:", "-o:-1"}, 131}};
  if (OnWindows()) {
    cases.insert(cases.end(), {{{"-f:missing\\report.txt"}, 3}, {{"-f:a<b"}, 123}, {{"-f:.\\B"}, 5}});
  } else {
    ASSERT_TRUE(link(Path("b").c_str(), Path("hard").c_str()) == 0 && symlink("a", Path("soft").c_str()) == 0);
    cases.insert(cases.end(), {{{"-f:sub/../b"}, 5}, {{"-f:hard"}, 5}, {{"-f:soft"}, 5}});
  }
  for (auto [args, number] : cases) {
    SCOPED_TRACE(args[0]);
    args.insert(args.begin(), {"a", "b"});
    const RunResult result = Run(args, StdoutMode::Pipe);
    ExpectStop(result, number);
    ExpectBanner(result);
  }
  EXPECT_TRUE(access(Path("no-such-dir").c_str(), F_OK) != 0 && access(Path("new.txt").c_str(), F_OK) == 0);
  EXPECT_TRUE(harness::ReadFile(Path("new.txt")).empty() && harness::ReadFile(Path("old.txt")).empty());
  // On the terminal the message starts at the cursor the banner left.
  const RunResult result = Run({"a", "b", "-o:-1"});
  EXPECT_EQ(result.exitCode, 131);
  EXPECT_EQ(result.RowText(5).rfind(" Runtime error 131 at 0x", 0), 0u) << result.RowText(5);
  EXPECT_TRUE(ShownStop(result).wellFormed && ShownStop(result).levels.size() >= 2);
}

// As the README says: addr2line turns the places into the check that stopped the run, then its callers.
TEST_F(Stop, ThePlacesNameTheCheckThenItsCallers) {
  const StopMessage message = ExpectStop(Run({"a", "b", "-o:-1", "-f:r.txt"}, StdoutMode::File), 131);
  ASSERT_GE(message.levels.size(), 2u);
  const std::tuple<uint64_t, const char*, const char*> places[] = {{message.place, "StartAtOffset", "engine.cpp:"},
                                                                   {message.levels[0], "RunDriver", "driver.cpp:"},
                                                                   {message.levels[1], "main", "main.cpp:"}};
  for (const auto& [place, function, file] : places) {
    char address[24];
    std::snprintf(address, sizeof address, " 0x%08llX", static_cast<unsigned long long>(place));
    std::string answer;
    if (FILE* lookup = popen((SymbolLookup() + address).c_str(), "r")) {
      for (char line[512]; fgets(line, sizeof line, lookup) != nullptr;) answer += line;
      pclose(lookup);
    }
    EXPECT_TRUE(answer.find(function) != std::string::npos && answer.find(file) != std::string::npos)
        << address << ": " << answer;
  }
}

TEST_F(Stop, TheProbesEndingsNumbersAndLevels) {
  const RunResult ended = Probe({"exit"}, StdoutMode::Pipe);
  EXPECT_TRUE(ended.exitCode == 7 && ended.stdoutBytes == kHandedOver) << ended.stdoutBytes;
  ExpectStop(Probe({"handover-fault"}, StdoutMode::Pipe), 5);  // the first stop is the one reported
  for (unsigned number : {2, 101, 300}) {
    for (StdoutMode mode : {StdoutMode::Pipe, StdoutMode::File})
      ExpectStop(Probe({"check", std::to_string(number)}, mode), number, kHandedOver);
  }
  // Nine call levels at most on a terminal, 257 on a file or a pipe.
  const auto levels = [&](int depth, StdoutMode mode) {
    SCOPED_TRACE(std::to_string(depth) + " levels to " + std::to_string(static_cast<int>(mode)));
    const RunResult result = Probe({"deep", std::to_string(depth)}, mode);
    if (mode != StdoutMode::Terminal) return ExpectStop(result, 101, kHandedOver).levels.size();
    EXPECT_TRUE(result.exitCode == 101 && ShownStop(result).wellFormed && ShownStop(result).number == 101)
        << result.terminalBytes;
    return ShownStop(result).levels.size();
  };
  const size_t few = levels(3, StdoutMode::Pipe);
  EXPECT_TRUE(few >= 4 && few < 9) << few;
  EXPECT_EQ(levels(3, StdoutMode::Terminal), few);
  EXPECT_EQ(levels(30, StdoutMode::Pipe), few + 27);
  EXPECT_EQ(levels(30, StdoutMode::Terminal), 9u);
  EXPECT_EQ(levels(400, StdoutMode::File), 257u);
}

// A fault's place lies in the function that faulted, its first levels in the two that enclose it, as the probe
// announces them on standard error. The floating-point faults and a breakpoint are numbered so by the Linux program;
// a bound exceeded and an overflow trap exist in 32-bit x86 code alone.
TEST_F(Stop, ProcessorFaultsBecomeStops) {
  enum Programs { kEvery, kLinux, k32BitX86 };
  const struct {
    const char* mode;
    unsigned number;
    size_t levels = 0;  // 0: any number from 2
    Programs only = kEvery;
  } rows[] = {{.mode = "nested", .number = 101},
              {.mode = "null", .number = 216},
              {.mode = "divide", .number = 200},
              {.mode = "illegal", .number = 217},
              {.mode = "stack-overflow", .number = 202, .levels = 257},
              {.mode = "float-divide", .number = 200, .only = kLinux},
              {.mode = "float-overflow", .number = 205, .only = kLinux},
              {.mode = "float-underflow", .number = 206, .only = kLinux},
              {.mode = "float-invalid", .number = 207, .only = kLinux},
              {.mode = "breakpoint", .number = 217, .only = kLinux},
              {.mode = "bound", .number = 201, .only = k32BitX86},
              {.mode = "into", .number = 215, .only = k32BitX86}};
  for (const auto& [mode, number, levels, only] : rows) {
    SCOPED_TRACE(mode);
    if ((only == kLinux && OnWindows()) || (only == k32BitX86 && !Is32BitX86())) continue;
    const RunResult result = Probe({mode}, StdoutMode::File, false);
    const StopMessage message = ExpectStop(result, number, kHandedOver);
    ASSERT_GE(message.levels.size(), 2u) << result.stdoutBytes;
    EXPECT_TRUE(levels == 0 || message.levels.size() == levels) << message.levels.size();
    std::map<std::string, unsigned long long> offsets;
    std::istringstream announced(result.stderrBytes);
    for (std::string name, value; announced >> name >> value;) offsets[name] = std::stoull(value, nullptr, 16);
    const std::pair<uint64_t, const char*> places[] = {
        {message.place, "inner"}, {message.levels[0], "middle"}, {message.levels[1], "outer"}};
    for (const auto& [place, function] : places) {
      EXPECT_TRUE(offsets.empty() || (place >= offsets[function] && place < offsets[function] + 1024))
          << function << ": " << result.stdoutBytes << result.stderrBytes;
    }
  }
}

}  // namespace
}  // namespace e2e
