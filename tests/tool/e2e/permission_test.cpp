// Permissions, run as the user nobody when the suite runs as root, since
// root would be let through anyway.
#include <sys/stat.h>

#include "e2e_support.h"

namespace e2e {
namespace {

class Permission : public ZevTest {
 protected:
  void SetUp() override {
    for (const char* name : {"a", "b", "ro"}) MakeInput(name, std::string("open-") + name);
    harness::WriteFile(Path("readonly.txt"), "old report");
    ASSERT_EQ(chmod(Path("ro").c_str(), 0444), 0);
    ASSERT_EQ(chmod(Path("readonly.txt").c_str(), 0444), 0);
    ASSERT_EQ(mkdir(Path("closed").c_str(), 0755), 0);  // nobody may not create in it
  }
  RunResult RunAsUser(const std::vector<std::string>& args) {
    harness::RunOptions options = Options(args);
    options.unprivileged = true;
    options.stdoutMode = StdoutMode::File;
    return Run(options);
  }
};

TEST_F(Permission, InputsMustBeWritableAndTheReportToo) {
  EXPECT_EQ(RunAsUser({"a", "b", "-f:r.txt"}).exitCode, 0);
  EXPECT_EQ(harness::ReadFile(Path("r.txt")), HeaderLine({"a", "b"}) + DifferenceLine(5, {'a', 'b'}));
  harness::WriteFile(Path("r.txt"), "untouched");
  ExpectFatal(RunAsUser({"a", "ro", "b", "-f:r.txt"}), "Can't open file: ro");
  EXPECT_EQ(harness::ReadFile(Path("r.txt")), "untouched");
  for (const char* name : {"-f:readonly.txt", "-f:closed/r.txt"}) {
    SCOPED_TRACE(name);
    RunResult result = RunAsUser({"a", "b", name});
    EXPECT_EQ(result.exitCode, 5);
    ExpectStopMessage(result.stdoutBytes, 5);
    ExpectScreenBannerOnly(result);
  }
  EXPECT_EQ(harness::ReadFile(Path("readonly.txt")), "old report");
  EXPECT_FALSE(FileExists(Path("closed/r.txt")));
}

}  // namespace
}  // namespace e2e
