#include "tool/report.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "child_run.h"
#include "harness/terminal_harness.h"
#include "runtime/files.h"
#include "runtime/io_error.h"
#include "runtime/run_time.h"

namespace {

using harness::ReadFile;
using tooltest::RunInChild;
using harness::TempDirectory;

const std::string kWorkedNames[] = {"old.bin", "new.bin", "patch3.bin"};
const uint8_t kAt300[] = {0x41, 0x0A, 0x7A};
const uint8_t kAt500[] = {0x00, 0x20, 0x27};
const std::string kWorkedReport =
    "Files:     \xB3     old.bin \xB3     new.bin \xB3  patch3.bin\r\n"
    "0000012C   \xB3 65  $41 'A' \xB3 10  $0A '.' \xB3" "122  $7A 'z'\r\n"
    "000001F4   \xB3  0  $00 '.' \xB3 32  $20 ' ' \xB3 39  $27 '''\r\n";

void WriteWorkedExample(const std::string& reportName) {
  OpenReport(reportName);
  WriteReportHeader(kWorkedNames, 3, 999);
  WriteDifferenceLine(300, kAt300, 3);
  WriteDifferenceLine(500, kAt500, 3);
  CloseReport();
}

TEST(ReportTest, WorkedExampleToFileAndStandardOutput) {
  TempDirectory scratch;
  ASSERT_EQ(RunInChild([&] { WriteWorkedExample(scratch.File("report.txt")); }), 0);
  EXPECT_EQ(ReadFile(scratch.File("report.txt")), kWorkedReport);

  // Standard output stays open after the close.
  ASSERT_EQ(RunInChild(
                [&] {
                  WriteWorkedExample("");
                  FileRecord output;
                  AttachStandardOutput(output);
                  WriteFileBytes(output, "after", 5);
                },
                scratch.File("stdout.txt")),
            0);
  EXPECT_EQ(ReadFile(scratch.File("stdout.txt")), kWorkedReport + "after");
}

TEST(ReportTest, LongNamesAndWidePositions) {
  TempDirectory scratch;
  const std::string names[] = {"configuration.dat", "twelve_chars"};
  const uint8_t bytes[] = {1, 2};
  ASSERT_EQ(RunInChild([&] {
              OpenReport(scratch.File("r"));
              WriteReportHeader(names, 2, 0x100000010);
              WriteDifferenceLine(5, bytes, 2);
              WriteDifferenceLine(0x100000010, bytes, 2);
              CloseReport();
            }),
            0);
  EXPECT_EQ(ReadFile(scratch.File("r")),
            "Files:      \xB3" "configuration.dat \xB3twelve_chars\r\n"
            "000000005   \xB3  1  $01 '.' \xB3  2  $02 '.'\r\n"
            "100000010   \xB3  1  $01 '.' \xB3  2  $02 '.'\r\n");
}

// Far more than a buffer's worth, so pieces split across hand-overs.
TEST(ReportTest, LongReportArrivesWhole) {
  TempDirectory scratch;
  std::string names[10];
  std::string expected = "Files:    ";
  for (int k = 0; k < 10; ++k) {
    names[k] = "f" + std::to_string(k);
    expected += " \xB3          " + names[k];
  }
  expected += "\r\n";
  const int kLines = 3000;
  for (int p = 0; p < kLines; ++p) {
    char text[24];
    std::snprintf(text, sizeof text, "%08X  ", p);
    expected += text;
    for (int k = 0; k < 10; ++k) {
      int b = (p + k) % 256;
      std::snprintf(text, sizeof text, " \xB3%3d  $%02X '%c'", b, b, b < 32 ? '.' : b);
      expected.append(text, 14);
    }
    expected += "\r\n";
  }
  ASSERT_EQ(RunInChild([&] {
              OpenReport(scratch.File("r"));
              WriteReportHeader(names, 10, kLines);
              uint8_t bytes[10];
              for (int p = 0; p < kLines; ++p) {
                for (int k = 0; k < 10; ++k) bytes[k] = static_cast<uint8_t>((p + k) % 256);
                WriteDifferenceLine(p, bytes, 10);
              }
              CloseReport();
            }),
            0);
  EXPECT_EQ(ReadFile(scratch.File("r")), expected);
}

// Whichever way the run ends while the report is open, the lines written
// so far reach the file; on standard output they come before the stop
// message.
TEST(ReportTest, EndingsHandOverWhatIsBuffered) {
  const struct {
    int exitCode;
    void (*end)();
  } endings[] = {
      {101, [] { StoreIoError(101); CheckIo(); }},
      {1, [] { EndProgram(1); }},
  };
  const std::string names[] = {"a", "b"};
  const uint8_t bytes[] = {'x', 'y'};
  const std::string last = "00000063   \xB3" "120  $78 'x' \xB3" "121  $79 'y'\r\n";
  for (const auto& ending : endings) {
    for (bool toStandardOutput : {false, true}) {
      TempDirectory scratch;
      int code = RunInChild(
          [&] {
            OpenReport(toStandardOutput ? "" : scratch.File("r"));
            WriteReportHeader(names, 2, 100);
            for (int p = 0; p < 100; ++p) WriteDifferenceLine(p, bytes, 2);
            ending.end();
          },
          scratch.File("stdout"));
      EXPECT_EQ(code, ending.exitCode);
      std::string text = ReadFile(scratch.File(toStandardOutput ? "stdout" : "r"));
      const size_t size = 40 + 100 * 40;
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
