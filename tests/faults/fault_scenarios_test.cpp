// Every failure of every system call, through the real program: a clean
// run of each scenario counts zev's calls, then the scenario runs again
// once for every call with every error that call can meet. Each run must
// end with the complete, correct report (an interruption, a short count,
// a full pipe) or with the right ending: a message of the tool's own, or
// a stop with the number the tables give, its message on standard output
// and exactly a beginning of the report; and the inputs never change.
#include <sys/mman.h>
#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <map>

#include "e2e_support.h"

namespace e2e {
namespace {

const char* const kCalls[] = {"open", "fstat", "flock", "lseek", "read", "write", "ftruncate", "close"};
constexpr int kShort = -1;

// The errors each call is made to meet, and the stop number each gives
// where the run cannot go on (0: the run must go on).
struct Fault {
  int error;
  int number;
};
const std::map<std::string, std::vector<Fault>> kFaults = {
    {"open", {{EACCES, 5}, {EIO, 154}, {EMFILE, 4}, {EINTR, 0}}},
    {"fstat", {{EIO, 154}, {EINTR, 0}}},
    {"flock", {{EWOULDBLOCK, 5}, {EINTR, 0}}},
    {"lseek", {{EIO, 154}, {EINTR, 0}}},
    {"read", {{EIO, 154}, {EINTR, 0}, {kShort, 0}}},
    {"write", {{ENOSPC, 101}, {EIO, 101}, {EPIPE, 101}, {EINTR, 0}, {EAGAIN, 0}, {kShort, 0}}},
    {"ftruncate", {{EIO, 154}, {EINTR, 0}}},
    {"close", {{EIO, 0}}},
};

struct Scenario {
  const char* name;
  std::vector<std::string> args;
  StdoutMode mode;
  bool reportOnStandardOutput;
  bool reportToFile;
};

class FaultScenarios : public ZevTest {
 protected:
  void SetUp() override {
    std::string base(70000, '\0');
    for (size_t i = 0; i < base.size(); ++i) base[i] = static_cast<char>(i * 31 + 7);
    for (int k = 0; k < 10; ++k) {
      std::string bytes = base;
      for (size_t i = static_cast<size_t>(k) * 13; i < bytes.size(); i += 997) bytes[i] = static_cast<char>(k * 25);
      names.push_back("in" + std::to_string(k));
      contents.push_back(bytes);
      MakeInput(names.back(), bytes);
    }
    tallyPath = Path("tally");
  }
  void TearDown() override {
    unsetenv("LD_PRELOAD");
    unsetenv("ZEV_FAULT_TALLY");
    unsetenv("ZEV_FAULT_PLAN");
  }

  std::array<uint64_t, 8> Tally() {
    std::array<uint64_t, 8> counts{};
    const std::string bytes = harness::ReadFile(tallyPath);
    if (bytes.size() >= sizeof counts) std::memcpy(counts.data(), bytes.data(), sizeof counts);
    return counts;
  }

  RunResult RunWith(const Scenario& scenario, const std::string& plan) {
    unlink(tallyPath.c_str());
    harness::WriteFile(Path("r.txt"), "stale report\r\n");
    setenv("LD_PRELOAD", FAULT_INJECTOR, 1);
    setenv("ZEV_FAULT_TALLY", tallyPath.c_str(), 1);
    if (plan.empty()) {
      unsetenv("ZEV_FAULT_PLAN");
    } else {
      setenv("ZEV_FAULT_PLAN", plan.c_str(), 1);
    }
    RunResult result = Run(scenario.args, scenario.mode);
    unsetenv("LD_PRELOAD");
    return result;
  }

  // What the run left where the report goes.
  std::string ReportOf(const Scenario& scenario, const RunResult& result) {
    if (scenario.reportToFile) return harness::ReadFile(Path("r.txt"));
    if (scenario.reportOnStandardOutput) return result.stdoutBytes;
    return "";
  }

  // Checks one run's ending; returns the stop number, 0 or 1.
  int ExpectSoundEnding(const Scenario& scenario, const std::string& expected, const RunResult& result,
                        const Fault& fault, const std::string& call) {
    const std::string report = ReportOf(scenario, result);
    const bool checked = scenario.reportToFile || scenario.reportOnStandardOutput;
    if (result.exitCode == 0) {
      if (checked) ExpectSameReport(report, expected);
      return 0;
    }
    EXPECT_NE(fault.number, 0) << "an interruption or a short count ended the run";
    if (result.exitCode == 1) return 1;  // a refused input or no console: the screen says which
    // A stop: its number is the one for this error (a failed write is
    // always 101), its message ends standard output, and what reached the
    // report is a beginning of it.
    const int number = call == "write" ? 101 : fault.number;
    EXPECT_EQ(result.exitCode, number & 0xFF);
    std::string output = result.stdoutBytes;
    std::string before;
    const size_t message = output.find("Runtime error ");
    if (message != std::string::npos) {
      before = output.substr(0, message);
      output = output.substr(message);
    }
    if (scenario.mode != StdoutMode::Terminal) ExpectStopMessage(output, number);
    const std::string handedOver = scenario.reportOnStandardOutput ? before : report;
    if (checked && handedOver != "stale report\r\n") {
      EXPECT_EQ(expected.compare(0, handedOver.size(), handedOver), 0) << "not a beginning of the report";
    }
    return number;
  }

  std::vector<std::string> names, contents;
  std::string tallyPath;
};

TEST_F(FaultScenarios, EveryCallFailsInTurn) {
  std::vector<std::string> ten = names;
  ten.push_back("-f:r.txt");
  const Scenario scenarios[] = {
      {"report to a file", {"in0", "in1", "-f:r.txt"}, StdoutMode::Terminal, false, true},
      {"standard output on a file", {"in0", "in1", "-f:"}, StdoutMode::File, true, false},
      {"standard output on a pipe", {"in0", "in1", "-f:"}, StdoutMode::Pipe, true, false},
      {"on the terminal, with an offset", {"in0", "in1", "-o:$1234"}, StdoutMode::Terminal, false, false},
      {"ten inputs, with an offset", {"in0", "in1", "in2", "in3", "in4", "in5", "in6", "in7", "in8", "in9",
                                      "-o:5000", "-f:r.txt"}, StdoutMode::File, false, true},
  };
  int runs = 0;
  std::map<int, int> endings;
  for (const Scenario& scenario : scenarios) {
    SCOPED_TRACE(scenario.name);
    std::vector<std::string> files;
    std::vector<std::string> inputs;
    int64_t offset = 0;
    for (const std::string& arg : scenario.args) {
      if (arg.rfind("in", 0) == 0) {
        files.push_back(arg);
        inputs.push_back(contents[static_cast<size_t>(std::stoi(arg.substr(2)))]);
      }
      if (arg == "-o:$1234") offset = 0x1234;
      if (arg == "-o:5000") offset = 5000;
    }
    const std::string expected = ExpectedReport(files, inputs, offset);
    RunResult clean = RunWith(scenario, "");
    ASSERT_EQ(clean.exitCode, 0);
    if (scenario.reportToFile || scenario.reportOnStandardOutput) {
      ExpectSameReport(ReportOf(scenario, clean), expected);
    }
    const std::array<uint64_t, 8> tally = Tally();
    ASSERT_GT(tally[0], 0u) << "the injector was not loaded";
    for (int call = 0; call < 8; ++call) {
      for (uint64_t index = 1; index <= tally[call]; ++index) {
        for (const Fault& fault : kFaults.at(kCalls[call])) {
          const std::string plan = std::string(kCalls[call]) + " " + std::to_string(index) + " " +
                                   std::to_string(fault.error);
          SCOPED_TRACE(plan);
          RunResult result = RunWith(scenario, plan);
          ASSERT_FALSE(result.timedOut);
          ++endings[ExpectSoundEnding(scenario, expected, result, fault, kCalls[call])];
          ++runs;
          if (HasFailure()) return;
        }
      }
    }
  }
  std::printf("%d runs; endings:", runs);
  for (const auto& [number, count] : endings) std::printf(" %d: %d,", number, count);
  std::printf("\n");
}

}  // namespace
}  // namespace e2e
