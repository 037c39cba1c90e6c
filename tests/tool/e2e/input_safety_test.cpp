// Runs that must leave every file but the report alone: standard output
// put onto an input, and names too long to be opened as they were typed.
// The fixture checks every input unchanged after every run.
#include "e2e_support.h"

namespace e2e {
namespace {

class InputSafety : public ZevTest {
 protected:
  void SetUp() override {
    MakeInput("x", "abcdefgh");
    MakeInput("y", "abcdefgH");
  }
};

// Standard output put onto an input, by appending or opening it in place:
// nothing reaches the input, not the report and not a stop message.
TEST_F(InputSafety, StandardOutputOntoAnInputReceivesNothing) {
  const struct {
    const char* script;
    std::vector<std::string> args;
    int exitCode;
  } cases[] = {
      {R"("$0" "$@" >> x)", {"x", "y", "-f:"}, 5},
      {R"("$0" "$@" 1<>y)", {"x", "y", "-f:"}, 5},
      {R"("$0" "$@" >> x)", {"x", "y", "-f:r.txt", "-o:-1"}, 131},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.script);
    RunResult result = RunInShell(c.script, c.args);
    EXPECT_EQ(result.exitCode, c.exitCode);
    ExpectScreenBannerOnly(result);
  }
}

// A name is never cut short: the shorter name would reach a file the
// user did not name. The longest name the file system takes stands
// beside the runs, named by its first 255 characters.
TEST_F(InputSafety, NamesLongerThan255CharactersOpenNothing) {
  const std::string longest(255, 'n');
  MakeInput(longest, "the file of the first 255 characters");
  const std::string longer = longest + "-and-more";
  ExpectFatal(Run({"x", longer}), "Can't open file: " + longer);
  RunResult result = Run({"x", "y", "-f:" + longer}, StdoutMode::File);
  EXPECT_EQ(result.exitCode, 206) << "name too long";
  ExpectStopMessage(result.stdoutBytes, 206);
  ExpectScreenBannerOnly(result);
}

}  // namespace
}  // namespace e2e
