// Cutting a command line into tokens: the tokens never hold more bytes than
// the line; a line without quotes cuts at every run of bytes 1 to 32; and
// any tokens, quoted the way the rules allow, cut back to themselves.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "runtime/parameters.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string line(reinterpret_cast<const char*>(data), size), significant = line.substr(0, line.find('\0'));
  const std::vector<std::string> tokens = SplitCommandLine(line);
  size_t total = 0;
  for (const std::string& token : tokens) total += token.size();
  if (total > significant.size()) __builtin_trap();
  // Without quotes: the runs of bytes above 32.
  std::vector<std::string> runs;
  for (size_t at = 0; significant.find_first_of("\"'") == std::string::npos && at < significant.size();) {
    const size_t end = std::find_if(significant.begin() + at, significant.end(), [](char c) { return c != 0 && static_cast<uint8_t>(c) <= 32; }) - significant.begin();
    if (end > at) runs.push_back(significant.substr(at, end - at));
    at = end + 1;
  }
  if (significant.find_first_of("\"'") == std::string::npos && tokens != runs) __builtin_trap();
  // The line's pieces between NUL bytes as tokens, written quoted: a double
  // quote inside single quotes, a single quote or a separator inside double
  // quotes, an empty token as a pair of double quotes.
  std::vector<std::string> wanted(1);
  std::string rebuilt = "zev ";
  for (char c : line) {
    if (c == '\0') {
      rebuilt += (wanted.back().empty() ? "\"\" " : " ");
      wanted.emplace_back();
      continue;
    }
    wanted.back() += c;
    rebuilt += c == '"' ? "'\"'" : c == '\'' ? "\"'\"" : static_cast<uint8_t>(c) <= 32 ? std::string("\"") + c + "\"" : std::string(1, c);
  }
  if (wanted.back().empty()) rebuilt += "\"\"";
  const std::vector<std::string> again = SplitCommandLine(rebuilt);
  if (again.size() != wanted.size() + 1 || !std::equal(wanted.begin(), wanted.end(), again.begin() + 1)) __builtin_trap();
  return 0;
}
