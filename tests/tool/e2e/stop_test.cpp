// Run-time error stops: the tool's, when its report cannot be made or a
// negative offset is asked for, with places that addr2line names; and the
// run-time probe's, for every way of ending, its call levels and faults.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <map>

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
  // With no terminal, standard error is kept apart from the screen.
  RunResult Probe(const std::vector<std::string>& args, StdoutMode mode, bool terminal = true) {
    harness::RunOptions options = Options(args, mode, TestCommand("runtime_probe"));
    options.controllingTerminal = terminal;
    return Run(options);
  }
};

// The stop message as the screen shows it, from its first line on.
StopMessage ShownStop(const RunResult& result) {
  std::string text;
  for (int row = 0; row < result.rows; ++row) {
    const std::string line = result.RowText(row);
    const size_t at = text.empty() ? line.find("Runtime error ") : 0;
    if (at != std::string::npos) text += line.substr(at) + "\r\n";
    if (!text.empty() && line.empty()) break;
  }
  return ParseStop(text);
}

// A name that reaches an input, or no file that can be made, is refused
// before anything is touched; a report for a negative offset is made empty.
TEST_F(Stop, RefusedReportNamesAndANegativeOffset) {
  ASSERT_EQ(mkdir(Path("sub").c_str(), 0755), 0);
  harness::WriteFile(Path("old.txt"), "old contents");
  std::vector<std::pair<std::vector<std::string>, unsigned>> cases = {
      {{"-f:a"}, 5}, {{"-f:sub"}, 5}, {{"-f:no-such-dir/r.txt"}, 3},
      {{"-o:-1", "-f:new.txt"}, 131}, {{"-o:$FFFFFFFF", "-f:old.txt"}, 131}, {{"-f:", "-o:-1"}, 131}};
  if (OnWindows()) {
    cases.insert(cases.end(), {{{"-f:missing\\report.txt"}, 3}, {{"-f:a<b"}, 123}, {{"-f:.\\B"}, 5}});
  } else {
    ASSERT_EQ(link(Path("b").c_str(), Path("hard").c_str()), 0);
    ASSERT_EQ(symlink("a", Path("soft").c_str()), 0);
    cases.insert(cases.end(), {{{"-f:sub/../b"}, 5}, {{"-f:hard"}, 5}, {{"-f:soft"}, 5}});
  }
  for (const auto& [switches, number] : cases) {
    SCOPED_TRACE(switches[0]);
    std::vector<std::string> args = {"a", "b"};
    args.insert(args.begin() + 1, switches.begin(), switches.end());
    const RunResult result = Run(args, StdoutMode::Pipe);
    ExpectStop(result, number);
    ExpectBanner(result, true);
  }
  EXPECT_FALSE(access(Path("no-such-dir").c_str(), F_OK) == 0);
  EXPECT_TRUE(access(Path("new.txt").c_str(), F_OK) == 0 && harness::ReadFile(Path("new.txt")).empty());
  EXPECT_EQ(harness::ReadFile(Path("old.txt")), "");
  // On the terminal the message starts at the cursor the banner left.
  const RunResult result = Run({"a", "b", "-o:-1"});
  EXPECT_EQ(result.exitCode, 131);
  EXPECT_EQ(result.RowText(5).rfind(" Runtime error 131 at 0x", 0), 0u) << result.RowText(5);
  EXPECT_TRUE(ShownStop(result).wellFormed && ShownStop(result).levels.size() >= 2);
}

// As the README says: addr2line turns the places into the check that
// stopped the run, then the calls that enclose it.
TEST_F(Stop, ThePlacesNameTheCheckThenItsCallers) {
  const StopMessage message = ExpectStop(Run({"a", "b", "-o:-1", "-f:r.txt"}, StdoutMode::File), 131);
  ASSERT_GE(message.levels.size(), 2u);
  const uint64_t places[] = {message.place, message.levels[0], message.levels[1]};
  const char* expected[][2] = {{"StartAtOffset", "engine.cpp:"}, {"RunDriver", "driver.cpp:"}, {"main", "main.cpp:"}};
  for (int i = 0; i < 3; ++i) {
    char address[24];
    std::snprintf(address, sizeof address, " 0x%08llX", static_cast<unsigned long long>(places[i]));
    std::string answer;
    if (FILE* lookup = popen((SymbolLookup() + address).c_str(), "r")) {
      for (char line[512]; fgets(line, sizeof line, lookup) != nullptr;) answer += line;
      pclose(lookup);
    }
    EXPECT_TRUE(answer.find(expected[i][0]) != std::string::npos && answer.find(expected[i][1]) != std::string::npos)
        << address << ": " << answer;
  }
}

TEST_F(Stop, TheProbesEndingsNumbersAndLevels) {
  const RunResult ended = Probe({"exit"}, StdoutMode::Pipe);
  EXPECT_TRUE(ended.exitCode == 7 && ended.stdoutBytes == kHandedOver) << ended.stdoutBytes;
  ExpectStop(Probe({"handover-fault"}, StdoutMode::Pipe), 5);  // the first stop is the one reported
  for (unsigned number : {2, 101, 300}) {
    for (StdoutMode mode : {StdoutMode::Pipe, StdoutMode::File}) ExpectStop(Probe({"check", std::to_string(number)}, mode), number, kHandedOver);
  }
  // Nine call levels at most on a terminal, 257 on a file or a pipe.
  const auto levels = [&](int depth, StdoutMode mode) {
    SCOPED_TRACE(std::to_string(depth) + " levels to " + std::to_string(static_cast<int>(mode)));
    const RunResult result = Probe({"deep", std::to_string(depth)}, mode);
    if (mode != StdoutMode::Terminal) return ExpectStop(result, 101, kHandedOver).levels.size();
    const StopMessage shown = ShownStop(result);
    EXPECT_TRUE(result.exitCode == 101 && shown.wellFormed && shown.number == 101) << result.terminalBytes;
    return shown.levels.size();
  };
  const size_t few = levels(3, StdoutMode::Pipe);
  EXPECT_TRUE(few >= 4 && few < 9) << few;
  EXPECT_EQ(levels(3, StdoutMode::Terminal), few);
  EXPECT_EQ(levels(30, StdoutMode::Pipe), few + 27);
  EXPECT_EQ(levels(30, StdoutMode::Terminal), 9u);
  EXPECT_EQ(levels(400, StdoutMode::File), 257u);
}

// A fault's place lies in the function that faulted and its first levels
// in the two that enclose it, as the probe announces them on standard error.
TEST_F(Stop, ProcessorFaultsBecomeStops) {
  const struct {
    const char* mode;
    unsigned number;
    bool placeChecked;
    size_t levels;  // 0: any number from 2
  } rows[] = {{"nested", 101, true, 0},         {"null", 216, true, 0},     {"divide", 200, true, 0},
              {"float-divide", 200, false, 0}, {"illegal", 217, false, 0}, {"stack-overflow", 202, false, 257}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.mode);
    if (OnWindows() && std::strcmp(row.mode, "float-divide") == 0) continue;
    const RunResult result = Probe({row.mode}, StdoutMode::File, false);
    const StopMessage message = ExpectStop(result, row.number, kHandedOver);
    ASSERT_GE(message.levels.size(), 2u) << result.stdoutBytes;
    EXPECT_TRUE(row.levels == 0 || message.levels.size() == row.levels) << message.levels.size();
    std::map<std::string, unsigned long long> offsets;
    char name[16];
    unsigned long long value = 0;
    for (const char* at = result.stderrBytes.c_str(); std::sscanf(at, "%15s 0x%llx", name, &value) == 2; at = std::strchr(at, '\n') + 1) {
      offsets[name] = value;
    }
    const uint64_t places[] = {message.place, message.levels[0], message.levels[1]};
    const char* names[] = {"inner", "middle", "outer"};
    for (int i = 0; row.placeChecked && i < 3; ++i) {
      EXPECT_TRUE(places[i] >= offsets[names[i]] && places[i] < offsets[names[i]] + 1024)
          << names[i] << ": " << result.stdoutBytes << result.stderrBytes;
    }
  }
}

}  // namespace
}  // namespace e2e
