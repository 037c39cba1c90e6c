// The tool's own messages: exact text, colour and place, exit code 1, and
// which check wins when several would fail.
#include <sys/stat.h>

#include <ostream>
#include <string>
#include <vector>

#include "e2e_support.h"

namespace e2e {
namespace {

struct FatalCase {
  std::vector<std::string> args;
  std::string message;
  bool reportEmptied;  // the report was opened before the check failed
};

std::vector<std::string> ElevenNames() {
  std::vector<std::string> names;
  for (int k = 0; k < 11; ++k) names.push_back("n" + std::to_string(k));
  return names;
}

std::vector<std::string> With(std::vector<std::string> args, const std::vector<std::string>& more) {
  args.insert(args.end(), more.begin(), more.end());
  return args;
}

const std::vector<FatalCase> kCases = {
    // Switches are sorted first: an unknown one wins over everything else.
    {{"-x"}, "Unknown Parameter: -x", false},
    {{"a", "-x", "b"}, "Unknown Parameter: -x", false},
    {{"missing", "-x"}, "Unknown Parameter: -x", false},
    {{"-"}, "Unknown Parameter: -", false},
    {{"a", "b", "-"}, "Unknown Parameter: -", false},
    {{"-h", "a", "b"}, "Unknown Parameter: -h", false},
    {{"a", "b", "-?"}, "Unknown Parameter: -?", false},
    {{"a", "b", "-s:abc"}, "Unknown Parameter: -s:abc", false},
    {{"a", "b", "-S:1x"}, "Unknown Parameter: -S:1x", false},
    {With(ElevenNames(), {"-x"}), "Unknown Parameter: -x", false},
    {With({"-q"}, ElevenNames()), "Unknown Parameter: -q", false},
    // Then the count, before any file is opened.
    {{"a"}, "Count of files must be 2 or more", false},
    {{"-a", "-d"}, "Count of files must be 2 or more", false},
    {{"missing"}, "Count of files must be 2 or more", false},
    {ElevenNames(), "Count of files must be 10 or less", false},
    {With({"missing"}, ElevenNames()), "Count of files must be 10 or less", false},
    // Then the inputs, in order; the first that fails is named.
    {{"missing", "a"}, "Can't open file: missing", false},
    {{"a", "missing"}, "Can't open file: missing", false},
    {{"a", "gone1", "gone2"}, "Can't open file: gone1", false},
    {{"", "a"}, "Can't open file: ", false},
    {{"a", ""}, "Can't open file: ", false},
    {{"/nonexistent-zev-e2e/a", "a"}, "Can't open file: /nonexistent-zev-e2e/a", false},
    {{"a", "sub"}, "Can't open file: sub", false},
    // Last the start offset, after the report was opened.
    {{"a", "b", "-o:4"}, "Nothing to compare", true},
    {{"a", "b", "-o:$7FFFFFFF"}, "Nothing to compare", true},
    {{"a", "/dev/null", "-o:1"}, "Nothing to compare", true},
};

void PrintTo(const FatalCase& c, std::ostream* out) {
  for (const std::string& arg : c.args) *out << '[' << arg << "] ";
}

class FatalMessage : public ZevTest, public testing::WithParamInterface<FatalCase> {};

TEST_P(FatalMessage, ShownBelowTheBannerInLightRed) {
  const FatalCase& c = GetParam();
  MakeInput("a", "abc");
  MakeInput("b", "abd");
  for (const std::string& name : ElevenNames()) MakeInput(name, "same");
  ASSERT_EQ(mkdir(Path("sub").c_str(), 0755), 0);
  harness::WriteFile(Path("rep.txt"), "kept unless the report was opened");
  harness::RunResult result = Run(With({"-f:rep.txt"}, c.args), harness::StdoutMode::File);
  ExpectFatal(result, c.message);
  EXPECT_EQ(result.stdoutBytes, "");
  EXPECT_EQ(harness::ReadFile(Path("rep.txt")), c.reportEmptied ? "" : "kept unless the report was opened");
}

INSTANTIATE_TEST_SUITE_P(Checks, FatalMessage, testing::ValuesIn(kCases));

using FatalMessageWindow = ZevTest;

TEST_F(FatalMessageWindow, AMessageLongerThanTheWindowWrapsInsideIt) {
  MakeInput("a", "abc");
  const std::string name(100, 'q');
  harness::RunResult result = Run({"a", name});
  EXPECT_EQ(result.exitCode, 1);
  const std::string message = "Can't open file: " + name;
  EXPECT_EQ(result.RowText(5), " " + message.substr(0, 78));
  EXPECT_EQ(result.RowText(6), " " + message.substr(78));
  EXPECT_EQ(result.RowText(7), "");
  EXPECT_EQ(result.At(6, 1).foreground, TerminalColour(12));
}

}  // namespace
}  // namespace e2e
