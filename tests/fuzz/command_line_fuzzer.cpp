// Cutting a command line into tokens: they never hold more bytes than the line; a line without quotes cuts at every
// run of bytes 1 to 32; and any tokens, quoted the way the rules allow, cut back to themselves.
#include <algorithm>
#include <cstdint>
#include <string>

#include "runtime/parameters.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string line(reinterpret_cast<const char*>(data), size), significant = line.substr(0, line.find('\0'));
  const std::vector<std::string> tokens = SplitCommandLine(line);
  size_t total = 0;
  for (const std::string& token : tokens) total += token.size();
  std::vector<std::string> runs(1);  // without quotes: the runs of bytes above 32
  for (char c : significant) {
    if (static_cast<uint8_t>(c) > 32) runs.back() += c;
    if (static_cast<uint8_t>(c) <= 32 && !runs.back().empty()) runs.emplace_back();
  }
  if (runs.back().empty()) runs.pop_back();
  if (total > significant.size() || (significant.find_first_of("\"'") == std::string::npos && tokens != runs)) {
    __builtin_trap();
  }
  // The pieces between NUL bytes as tokens, written quoted: a double quote inside single quotes, a single quote or a
  // separator inside double quotes, an empty token as a pair of double quotes.
  std::vector<std::string> wanted(1);
  std::string rebuilt = "zev ";
  for (char c : line) {
    if (c == '\0') {
      rebuilt += wanted.back().empty() ? "\"\" " : " ";
      wanted.emplace_back();
      continue;
    }
    wanted.back() += c;
    rebuilt += c == '"'                        ? "'\"'"
               : c == '\''                     ? "\"'\""
               : static_cast<uint8_t>(c) <= 32 ? std::string("\"") + c + "\""
                                               : std::string(1, c);
  }
  const std::vector<std::string> again = SplitCommandLine(rebuilt + (wanted.back().empty() ? "\"\"" : ""));
  if (again.size() != wanted.size() + 1 || !std::equal(wanted.begin(), wanted.end(), again.begin() + 1)) {
    __builtin_trap();
  }
  return 0;
}
