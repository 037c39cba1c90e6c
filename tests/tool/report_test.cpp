// Whichever way a run ends while the report is open, the lines written so
// far reach the destination; on standard output they come before the
// stop message. The run ends the process, hence the child.
#include "tool/report.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

#include "harness/terminal_harness.h"
#include "runtime/io_error.h"
#include "runtime/run_time.h"

namespace {

// Runs body in a forked child with standard output on stdoutPath, after
// the run-time start-up; returns its exit code.
int RunInChild(void (*body)(const std::string&), const std::string& reportName,
               const std::string& stdoutPath) {
  std::fflush(nullptr);
  const pid_t child = fork();
  if (child == 0) {
    const int fd = open(stdoutPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0 || dup2(fd, 1) < 0) _exit(250);
    char name[] = "tool_tests";
    char* argv[] = {name, nullptr};
    StartRunTime(1, argv);
    body(reportName);
    EndProgram(0);
  }
  int status = 0;
  while (waitpid(child, &status, 0) < 0) {
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

void WriteHundredLines(const std::string& reportName) {
  const std::string names[] = {"a", "b"};
  const uint8_t bytes[] = {'x', 'y'};
  OpenReport(reportName);
  WriteReportHeader(names, 2, 100);
  for (int p = 0; p < 100; ++p) WriteDifferenceLine(p, bytes, 2);
}

TEST(ReportTest, EndingsHandOverWhatIsBuffered) {
  const struct {
    int exitCode;
    void (*run)(const std::string&);
  } endings[] = {
      {101, [](const std::string& name) { WriteHundredLines(name); StoreIoError(101); CheckIo(); }},
      {1, [](const std::string& name) { WriteHundredLines(name); EndProgram(1); }},
  };
  const std::string last = "00000063   \xB3" "120  $78 'x' \xB3" "121  $79 'y'\r\n";
  const size_t size = 40 + 100 * 40;
  for (const auto& ending : endings) {
    for (bool toStandardOutput : {false, true}) {
      harness::TempDirectory scratch;
      EXPECT_EQ(RunInChild(ending.run, toStandardOutput ? "" : scratch.File("r"), scratch.File("stdout")),
                ending.exitCode);
      const std::string text = harness::ReadFile(scratch.File(toStandardOutput ? "stdout" : "r"));
      ASSERT_GE(text.size(), size);
      EXPECT_EQ(text.substr(size - 40, 40), last);
      if (toStandardOutput && ending.exitCode == 101) {
        EXPECT_EQ(text.substr(size, 14), "Runtime error ");
      } else {
        EXPECT_EQ(text.size(), size);
      }
    }
  }
}

}  // namespace
