#include "runtime/parameters.h"

#include <utility>

namespace {

// Entry 0 is the program's path; entries 1..count the parameters. The count
// is kept apart because an empty command line still has entry 0 but -1
// parameters.
std::vector<std::string> entries;
int32_t count = -1;

enum QuoteState { kNoQuote, kDoubleQuote, kSingleQuote };

constexpr char kDoubleQuoteByte = '"';
constexpr char kSingleQuoteByte = '\'';

bool IsSeparator(unsigned char byte) { return byte >= 1 && byte <= 32; }

// A quote byte inside the other kind of quotes is an ordinary byte; a pair
// of the same quote is dropped without changing the state; a lone one is
// dropped and opens or closes its kind.
void TakeQuote(std::string_view line, size_t& at, char quote, QuoteState kind, QuoteState& state, std::string& token) {
  QuoteState other = kind == kDoubleQuote ? kSingleQuote : kDoubleQuote;
  if (state == other) {
    token += quote;
    ++at;
  } else if (at + 1 < line.size() && line[at + 1] == quote) {
    at += 2;
  } else {
    state = state == kind ? kNoQuote : kind;
    ++at;
  }
}

}  // namespace

int32_t ParameterCount() { return count; }

std::string_view ParameterText(int32_t index) {
  // Entry 0 exists even for an empty command line, whose count is -1.
  if (index < 0 || (index > count && index != 0) || static_cast<size_t>(index) >= entries.size()) return {};
  return entries[static_cast<size_t>(index)];
}

void SetParametersFromArguments(std::string programPath, int argc, const char* const* argv) {
  entries.clear();
  entries.push_back(std::move(programPath));
  for (int i = 1; i < argc; ++i) entries.emplace_back(argv[i] != nullptr ? argv[i] : "");
  count = argc > 0 ? argc - 1 : -1;
}

std::vector<std::string> SplitCommandLine(std::string_view commandLine) {
  // The line ends at its first NUL byte, as the platform's string does.
  size_t end = commandLine.find('\0');
  if (end != std::string_view::npos) commandLine = commandLine.substr(0, end);

  std::vector<std::string> tokens;
  size_t at = 0;
  for (;;) {
    while (at < commandLine.size() && IsSeparator(static_cast<unsigned char>(commandLine[at]))) ++at;
    if (at >= commandLine.size()) break;

    std::string token;
    QuoteState state = kNoQuote;
    while (at < commandLine.size()) {
      char byte = commandLine[at];
      if (IsSeparator(static_cast<unsigned char>(byte))) {
        if (state == kNoQuote) break;
        token += byte;
        ++at;
      } else if (byte == kDoubleQuoteByte) {
        TakeQuote(commandLine, at, kDoubleQuoteByte, kDoubleQuote, state, token);
      } else if (byte == kSingleQuoteByte) {
        TakeQuote(commandLine, at, kSingleQuoteByte, kSingleQuote, state, token);
      } else {
        token += byte;
        ++at;
      }
    }
    tokens.push_back(std::move(token));
  }
  return tokens;
}

void SetParametersFromCommandLine(std::string programPath, std::string_view commandLine) {
  std::vector<std::string> tokens = SplitCommandLine(commandLine);
  entries.clear();
  entries.push_back(std::move(programPath));
  // Token 0 is the program name as typed: never a parameter, whatever it holds.
  for (size_t i = 1; i < tokens.size(); ++i) entries.push_back(std::move(tokens[i]));
  count = static_cast<int32_t>(tokens.size()) - 1;
}
