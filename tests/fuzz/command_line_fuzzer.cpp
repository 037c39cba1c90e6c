// Cutting a command line into tokens: the tokens never hold more bytes
// than the line; a line without quotes cuts at every run of bytes 1 to 32;
// and any tokens, quoted the way the rules allow, cut back to themselves.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/parameters.h"

namespace {

std::vector<std::string> CutAtSeparators(std::string_view line) {
  std::vector<std::string> tokens;
  std::string token;
  bool inToken = false;
  for (char c : line) {
    if (static_cast<unsigned char>(c) >= 1 && static_cast<unsigned char>(c) <= 32) {
      if (inToken) tokens.push_back(token);
      token.clear();
      inToken = false;
    } else {
      token += c;
      inToken = true;
    }
  }
  if (inToken) tokens.push_back(token);
  return tokens;
}

// A token written so that it cuts back to itself: a double quote inside
// single quotes, a single quote inside double quotes, separators inside
// double quotes, and an empty token as a pair of double quotes.
std::string Quoted(const std::string& token) {
  if (token.empty()) return "\"\"";
  std::string out;
  for (char c : token) {
    if (c == '"') out += "'\"'";
    else if (c == '\'') out += "\"'\"";
    else if (static_cast<unsigned char>(c) <= 32) out += std::string("\"") + c + "\"";
    else out += c;
  }
  return out;
}

void Check(bool holds) {
  if (!holds) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view line(reinterpret_cast<const char*>(data), size);
  const std::vector<std::string> tokens = SplitCommandLine(line);
  const std::string_view significant = line.substr(0, line.find('\0'));
  size_t total = 0;
  for (const std::string& token : tokens) total += token.size();
  Check(total <= significant.size());

  if (significant.find_first_of("\"'") == std::string_view::npos) Check(tokens == CutAtSeparators(significant));

  // The line's bytes, taken as tokens (cut at NUL bytes, which no token can
  // hold), written quoted: they cut back to themselves after the program's name.
  std::vector<std::string> wanted;
  std::string piece;
  for (char c : line) {
    if (c == '\0') {
      wanted.push_back(piece);
      piece.clear();
    } else {
      piece += c;
    }
  }
  wanted.push_back(piece);
  std::string rebuilt = "zev";
  for (const std::string& token : wanted) rebuilt += " " + Quoted(token);
  const std::vector<std::string> again = SplitCommandLine(rebuilt);
  Check(again.size() == wanted.size() + 1);
  for (size_t i = 0; i < wanted.size() && i + 1 < again.size(); ++i) Check(again[i + 1] == wanted[i]);
  return 0;
}
