// Permissions, run as an ordinary user: root would be let through anyway.
#include <sys/stat.h>

#include <string>

#include "e2e_support.h"
#include "report_model.h"

namespace e2e {
namespace {

class Permission : public ZevTest {
 protected:
  void SetUp() override {
    MakeInput("a", "open-1");
    MakeInput("b", "open-2");
    ASSERT_EQ(chmod(Path("a").c_str(), 0666), 0);
    ASSERT_EQ(chmod(Path("b").c_str(), 0666), 0);
  }

  harness::RunResult RunAsUser(const std::vector<std::string>& args) {
    harness::RunOptions options = Options(args);
    options.unprivileged = true;
    options.stdoutMode = harness::StdoutMode::File;
    return Run(options);
  }
};

TEST_F(Permission, TheUserCanCompareWhatItMayWrite) {
  harness::RunResult result = RunAsUser({"a", "b", "-f:r.txt"});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(harness::ReadFile(Path("r.txt")), HeaderLine({"a", "b"}) + DifferenceLine(5, {'1', '2'}));
}

TEST_F(Permission, AReadOnlyInputCannotBeOpened) {
  MakeInput("ro", "open-3");
  ASSERT_EQ(chmod(Path("ro").c_str(), 0444), 0);
  harness::WriteFile(Path("r.txt"), "untouched");
  ASSERT_EQ(chmod(Path("r.txt").c_str(), 0666), 0);
  harness::RunResult result = RunAsUser({"a", "ro", "b", "-f:r.txt"});
  ExpectFatal(result, "Can't open file: ro");
  EXPECT_EQ(harness::ReadFile(Path("r.txt")), "untouched");
}

TEST_F(Permission, AReportThatMayNotBeWrittenIsError5) {
  harness::WriteFile(Path("readonly.txt"), "old report");
  ASSERT_EQ(chmod(Path("readonly.txt").c_str(), 0444), 0);
  ASSERT_EQ(mkdir(Path("closed").c_str(), 0755), 0);  // the user may not create in it
  for (const char* name : {"-f:readonly.txt", "-f:closed/r.txt"}) {
    SCOPED_TRACE(name);
    harness::RunResult result = RunAsUser({"a", "b", name});
    EXPECT_EQ(result.exitCode, 5);
    ExpectStopMessage(result.stdoutBytes, 5);
    ExpectScreenBannerOnly(result);
  }
  EXPECT_EQ(harness::ReadFile(Path("readonly.txt")), "old report");
  struct stat info{};
  EXPECT_NE(stat(Path("closed/r.txt").c_str(), &info), 0);
}

}  // namespace
}  // namespace e2e
