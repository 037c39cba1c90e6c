// As the README says: addr2line turns the places of a stop message into
// the functions and source lines they stand for, the check that stopped
// the run first, then the calls that enclose it.
#include <cstdio>

#include "e2e_support.h"

namespace e2e {
namespace {

class StopPlace : public ZevTest {};

std::string LookUp(const std::string& address) {
  std::string answer;
  if (FILE* lookup = popen((SymbolLookup() + " " + address).c_str(), "r")) {
    char line[512];
    while (fgets(line, sizeof line, lookup) != nullptr) answer += line;
    pclose(lookup);
  }
  return answer;
}

TEST_F(StopPlace, ThePlacesNameTheCheckThenItsCallers) {
  MakeInput("a", "abc");
  MakeInput("b", "abd");
  RunResult result = Run({"a", "b", "-o:-1", "-f:r.txt"}, StdoutMode::File);
  ASSERT_EQ(result.exitCode, 131);
  ExpectStopMessage(result.stdoutBytes, 131);
  std::vector<std::string> places;
  for (size_t at = result.stdoutBytes.find("0x"); at != std::string::npos;
       at = result.stdoutBytes.find("0x", at + 2)) {
    places.push_back(result.stdoutBytes.substr(at, 10));
  }
  ASSERT_GE(places.size(), 4u) << result.stdoutBytes;
  const char* expected[][2] = {{"StartAtOffset", "engine.cpp:"},
                               {"StartAtOffset", "engine.cpp:"},
                               {"RunDriver", "driver.cpp:"},
                               {"main", "main.cpp:"}};
  for (size_t i = 0; i < 4; ++i) {
    const std::string answer = LookUp(places[i]);
    EXPECT_NE(answer.find(expected[i][0]), std::string::npos) << places[i] << ": " << answer;
    EXPECT_NE(answer.find(expected[i][1]), std::string::npos) << places[i] << ": " << answer;
  }
}

}  // namespace
}  // namespace e2e
