#include "e2e_support.h"

#include <iconv.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>

namespace e2e {

namespace {

bool IsSelected(const std::vector<int>& x, const Selection& s) {
  bool different = false, rises = true, falls = true, constant = true, stepIsN = true;
  for (size_t k = 1; k < x.size(); ++k) {
    const int step = x[k] - x[k - 1];
    different |= x[k] != x[0];
    rises &= step > 0;
    falls &= step < 0;
    constant &= step == x[1] - x[0];
    stepIsN &= step == s.step;
  }
  if (!different) return false;
  if (!s.ascending && !s.descending && !s.anyStep && !s.fixedStep) return true;
  return (s.ascending && rises) || (s.descending && falls) || (s.anyStep && constant) ||
         (s.fixedStep && stepIsN);
}

// An input's identity, length, times and (up to 64 MiB, so not the sparse
// giants) its bytes.
auto InputState(const std::string& path) {
  struct stat info{};
  const bool exists = lstat(path.c_str(), &info) == 0;
  return std::make_tuple(exists, info.st_ino, info.st_size, info.st_mtim.tv_sec, info.st_mtim.tv_nsec,
                         info.st_ctim.tv_sec, info.st_ctim.tv_nsec,
                         info.st_size <= (64 << 20) ? harness::ReadFile(path) : "");
}

}  // namespace

std::string HeaderLine(const std::vector<std::string>& names, int digits) {
  std::string line = "Files:" + std::string(digits - 4, ' ');
  for (const std::string& name : names)
    line += " \xB3" + std::string(name.size() < 12 ? 12 - name.size() : 0, ' ') + name;
  return line + "\r\n";
}

std::string DifferenceLine(uint64_t position, const std::vector<int>& bytes, int digits) {
  char text[24];
  std::snprintf(text, sizeof text, "%0*llX  ", digits, static_cast<unsigned long long>(position));
  std::string line = text;
  for (int b : bytes) {
    std::snprintf(text, sizeof text, " \xB3%3d  $%02X '%c'", b, b, b < 0x20 ? '.' : b);
    line += text;
  }
  return line + "\r\n";
}

std::string ExpectedReport(const std::vector<std::string>& names,
                           const std::vector<std::string>& contents, int64_t offset,
                           const Selection& selection) {
  size_t shortest = SIZE_MAX;
  for (const std::string& content : contents) shortest = std::min(shortest, content.size());
  int digits = 8;
  while (digits < 16 && shortest > (size_t{1} << (4 * digits))) ++digits;
  std::string report = HeaderLine(names, digits);
  for (size_t p = static_cast<size_t>(offset); p < shortest; ++p) {
    std::vector<int> bytes;
    for (const std::string& content : contents) bytes.push_back(static_cast<uint8_t>(content[p]));
    if (IsSelected(bytes, selection)) report += DifferenceLine(p, bytes, digits);
  }
  return report;
}

// The C library's own code page table, apart from 0x7F, which it leaves
// a control while the tool draws the house.
std::string TerminalText(std::string_view bytes) {
  static const iconv_t fromCp437 = iconv_open("UTF-8", "IBM437");
  std::string in(bytes), out(bytes.size() * 3, '\0');
  char *from = in.data(), *to = out.data();
  size_t left = in.size(), room = out.size();
  EXPECT_NE(iconv(fromCp437, &from, &left, &to, &room), static_cast<size_t>(-1));
  out.resize(out.size() - room);
  for (size_t at; (at = out.find('\x7F')) != std::string::npos;) out.replace(at, 1, "\u2302");
  return out;
}

std::string CellsText(const RunResult& result, int row, int column, int count) {
  std::string out;
  for (int c = column; c < column + count; ++c) {
    if (row >= result.rows || c >= result.columns) return out + "?";
    const harness::Cell& cell = result.At(row, c);
    if (cell.width != 0) out += cell.text.empty() ? std::string(" ") : cell.text;
  }
  return out;
}

std::vector<std::string> SplitReportLines(const std::string& report) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = report.find("\r\n", start)) != std::string::npos; start = end + 2)
    lines.push_back(report.substr(start, end - start));
  EXPECT_EQ(start, report.size()) << "report does not end with CR LF: " << report.substr(start, 80);
  return lines;
}

bool FileExists(const std::string& path) {
  struct stat info{};
  return lstat(path.c_str(), &info) == 0;
}

void ExpectSameReport(const std::string& actual, const std::string& expected) {
  if (actual == expected) return;
  const size_t at = std::mismatch(actual.begin(), actual.end(), expected.begin(), expected.end()).first -
                    actual.begin();
  const size_t from = at == 0 ? 0 : expected.rfind('\n', at - 1) + 1;  // npos + 1 is 0
  ADD_FAILURE() << "reports part at byte " << at << " (lengths " << actual.size() << " and "
                << expected.size() << ")\n  actual:   " << actual.substr(from, 160)
                << "\n  expected: " << expected.substr(from, 160);
}

std::string ZevTest::MakeInput(const std::string& name, const std::string& bytes) {
  harness::WriteFile(Path(name), bytes);
  watched.push_back(Path(name));
  return name;
}

harness::RunOptions ZevTest::Options(const std::vector<std::string>& args, StdoutMode mode) const {
  const std::vector<std::string> command = ZevCommand();
  harness::RunOptions options;
  options.program = command[0];
  options.args.assign(command.begin() + 1, command.end());
  options.args.insert(options.args.end(), args.begin(), args.end());
  options.stdoutMode = mode;
  options.workingDirectory = dir.path;
  options.timeoutMilliseconds = 60000;  // for the sanitizer build
  return options;
}

RunResult ZevTest::Run(const harness::RunOptions& options) {
  std::vector<decltype(InputState(""))> before;
  for (const std::string& path : watched) before.push_back(InputState(path));
  RunResult result = harness::RunOnTerminal(options);
  EXPECT_FALSE(result.timedOut) << "zev did not end in time";
  for (size_t k = 0; k < watched.size(); ++k)
    EXPECT_TRUE(InputState(watched[k]) == before[k]) << "input changed: " << watched[k];
  return result;
}

void ZevTest::ExpectFatalCases(const std::vector<FatalCase>& cases) {
  const std::string old = "kept unless the report was opened";
  for (const FatalCase& c : cases) {
    SCOPED_TRACE(c.args[0] + " ... " + c.args.back());
    harness::WriteFile(Path("rep.txt"), old);
    std::vector<std::string> args = c.args;
    args.insert(args.begin(), "-f:rep.txt");
    RunResult result = Run(args, StdoutMode::File);
    ExpectFatal(result, c.message);
    EXPECT_EQ(result.stdoutBytes, "");
    EXPECT_EQ(harness::ReadFile(Path("rep.txt")), c.reportEmptied ? "" : old);
  }
}

RunResult ZevTest::RunInShell(const std::string& script, const std::vector<std::string>& args,
                              StdoutMode mode) {
  harness::RunOptions options = Options(args, mode);
  const std::vector<std::string> command = ZevCommand();
  options.args.insert(options.args.begin(), command[0]);
  options.args.insert(options.args.begin(), {"-c", script});
  options.program = "/bin/bash";
  return Run(options);
}

void ExpectBanner(const RunResult& result, bool alone) {
  ASSERT_GE(result.rows, 6);
  EXPECT_EQ(result.RowText(0), "");
  EXPECT_EQ(result.RowText(1), std::string(55, ' ') + "Brimlo comaparator")
      << "the terminal received " << result.terminalBytes.size() << " bytes "
      << result.harnessError;
  EXPECT_EQ(result.RowText(2).size(), 73u) << "maker line ends in column 73";
  EXPECT_EQ(result.RowText(3), std::string(52, ' ') + "ZEV v1.0 build 050107");
  EXPECT_EQ(result.RowText(4), "");
  EXPECT_EQ(result.At(1, 72).foreground, TerminalColour(10));
  EXPECT_EQ(result.At(3, 72).foreground, TerminalColour(10));
  for (int row = 5; alone && row < result.rows; ++row)
    EXPECT_EQ(result.RowText(row), "") << "row " << row + 1;
}

void ExpectScrolledReport(const RunResult& result, const std::vector<std::string>& lines) {
  ASSERT_GE(lines.size(), 18u);
  ASSERT_EQ(result.rows, 25);
  const size_t first = lines.size() - 24;
  for (int row = 0; row < 24; ++row) EXPECT_EQ(result.RowText(row), TerminalText(lines[first + row])) << row;
  EXPECT_EQ(result.RowText(24), "");
  EXPECT_EQ(result.cursorRow, 24);
  EXPECT_EQ(result.cursorColumn, 0);
}

void ExpectColours(const RunResult& result, int row, int column, int count, int foreground,
                   int background) {
  for (int c = column; c < column + count && c < result.columns; ++c) {
    const harness::Cell& cell = result.At(row, c);
    if (cell.foreground != foreground || cell.background != background) {
      ADD_FAILURE() << "row " << row + 1 << " column " << c + 1 << " has colours " << cell.foreground
                    << " on " << cell.background << ", not " << foreground << " on " << background;
      return;
    }
  }
}

void ExpectFatal(const RunResult& result, const std::string& message) {
  EXPECT_EQ(result.exitCode, 1);
  ExpectBanner(result);
  // The window spans columns 2 to 79: a longer message wraps at its right
  // edge and never touches the margins.
  constexpr size_t kWindowWidth = 78;
  int row = 5;
  for (size_t from = 0; from == 0 || from < message.size(); from += kWindowWidth, ++row) {
    const std::string piece = message.substr(from, kWindowWidth);
    EXPECT_EQ(CellsText(result, row, 0, result.columns),
              " " + TerminalText(piece) + std::string(result.columns - 1 - piece.size(), ' '))
        << "row " << row + 1;
    ExpectColours(result, row, 1, static_cast<int>(piece.size()), TerminalColour(12), ShownBlack());
  }
  for (int empty = row; empty < result.rows; ++empty)
    EXPECT_EQ(result.RowText(empty), "") << "row " << empty + 1;
  EXPECT_EQ(result.cursorRow, row + 1);
  EXPECT_EQ(result.cursorColumn, 1);
}

void ExpectStopMessage(const std::string& text, int number) {
  const auto isPlace = [](const std::string& t) {
    return t.size() == 10 && t.rfind("0x", 0) == 0 &&
           t.find_first_not_of("0123456789ABCDEF", 2) == std::string::npos;
  };
  const std::string lead = "Runtime error " + std::to_string(number) + " at ";
  const std::vector<std::string> lines = SplitReportLines(text);
  bool sound = lines.size() >= 3 && lines[0].rfind(lead, 0) == 0 && isPlace(lines[0].substr(lead.size())) &&
               lines[1] == "  " + lines[0].substr(lead.size()) && lines.back().empty();
  for (size_t i = 2; sound && i + 1 < lines.size(); ++i)
    sound = lines[i].rfind("  ", 0) == 0 && isPlace(lines[i].substr(2));
  EXPECT_TRUE(sound) << "not a stop message " << number << ": " << text;
}

}  // namespace e2e
