#include "e2e_support.h"

#include <sys/stat.h>

#include <algorithm>

namespace e2e {

namespace {

// Code points of the code page's glyphs, the control bytes included: the
// tool draws them as pictures, never as terminal controls.
constexpr char32_t kGlyphs[256] = {
    0x0020, 0x263A, 0x263B, 0x2665, 0x2666, 0x2663, 0x2660, 0x2022,
    0x25D8, 0x25CB, 0x25D9, 0x2642, 0x2640, 0x266A, 0x266B, 0x263C,
    0x25BA, 0x25C4, 0x2195, 0x203C, 0x00B6, 0x00A7, 0x25AC, 0x21A8,
    0x2191, 0x2193, 0x2192, 0x2190, 0x221F, 0x2194, 0x25B2, 0x25BC,
    0x20, 0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x27, 0x28, 0x29, 0x2A, 0x2B, 0x2C, 0x2D, 0x2E, 0x2F,
    0x30, 0x31, 0x32, 0x33, 0x34, 0x35, 0x36, 0x37, 0x38, 0x39, 0x3A, 0x3B, 0x3C, 0x3D, 0x3E, 0x3F,
    0x40, 0x41, 0x42, 0x43, 0x44, 0x45, 0x46, 0x47, 0x48, 0x49, 0x4A, 0x4B, 0x4C, 0x4D, 0x4E, 0x4F,
    0x50, 0x51, 0x52, 0x53, 0x54, 0x55, 0x56, 0x57, 0x58, 0x59, 0x5A, 0x5B, 0x5C, 0x5D, 0x5E, 0x5F,
    0x60, 0x61, 0x62, 0x63, 0x64, 0x65, 0x66, 0x67, 0x68, 0x69, 0x6A, 0x6B, 0x6C, 0x6D, 0x6E, 0x6F,
    0x70, 0x71, 0x72, 0x73, 0x74, 0x75, 0x76, 0x77, 0x78, 0x79, 0x7A, 0x7B, 0x7C, 0x7D, 0x7E, 0x2302,
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7,
    0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5,
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,
    0x00FF, 0x00D6, 0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192,
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA,
    0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556,
    0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510,
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567,
    0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B,
    0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,
    0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4,
    0x03A6, 0x0398, 0x03A9, 0x03B4, 0x221E, 0x03C6, 0x03B5, 0x2229,
    0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248,
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0,
};

std::string Utf8(char32_t c) {
  std::string out;
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
  return out;
}

bool IsUpperHex(std::string_view digits) {
  if (digits.size() != 8) return false;
  for (char c : digits)
    if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'))) return false;
  return true;
}

bool SameTime(const timespec& a, const timespec& b) {
  return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

// Files up to this size are compared byte for byte after each run; the
// sparse giants are checked by size and times alone.
constexpr off_t kContentLimit = 64 << 20;

}  // namespace

int TerminalColour(int pcColour) {
  return (pcColour & 0b1010) | ((pcColour & 1) << 2) | ((pcColour >> 2) & 1);
}

std::string Cp437Glyph(uint8_t byte) { return Utf8(kGlyphs[byte]); }

std::string TerminalText(std::string_view bytes) {
  std::string out;
  for (char c : bytes) out += Cp437Glyph(static_cast<uint8_t>(c));
  return out;
}

std::string CellsText(const harness::RunResult& result, int row, int column, int count) {
  std::string out;
  for (int c = column; c < column + count; ++c) {
    if (row < 0 || row >= static_cast<int>(result.screen.size()) ||
        c >= static_cast<int>(result.screen[row].size())) {
      out += "?";
      continue;
    }
    const harness::Cell& cell = result.screen[row][c];
    if (cell.width == 0) continue;
    out += cell.text.empty() ? std::string(" ") : cell.text;
  }
  return out;
}

std::vector<std::string> SplitReportLines(const std::string& report) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < report.size()) {
    size_t end = report.find("\r\n", start);
    if (end == std::string::npos) {
      ADD_FAILURE() << "report does not end with CR LF: " << report.substr(start, 80);
      lines.push_back(report.substr(start));
      break;
    }
    std::string line = report.substr(start, end - start);
    EXPECT_EQ(line.find('\n'), std::string::npos) << "bare line feed in: " << line;
    lines.push_back(line);
    start = end + 2;
  }
  return lines;
}

void ExpectSameReport(const std::string& actual, const std::string& expected) {
  if (actual == expected) return;
  size_t at = 0;
  while (at < actual.size() && at < expected.size() && actual[at] == expected[at]) ++at;
  const size_t lineStart = expected.rfind('\n', at == 0 ? 0 : at - 1);
  const size_t from = lineStart == std::string::npos || at == 0 ? 0 : lineStart + 1;
  const size_t line = static_cast<size_t>(std::count(expected.begin(), expected.begin() + from, '\n')) + 1;
  ADD_FAILURE() << "reports part in line " << line << " (byte " << at << "; lengths "
                << actual.size() << " and " << expected.size() << ")\n  actual:   "
                << actual.substr(from, 160) << "\n  expected: " << expected.substr(from, 160);
}

FileState TakeFileState(const std::string& path) {
  FileState state;
  state.path = path;
  struct stat info{};
  if (lstat(path.c_str(), &info) != 0) return state;
  state.exists = true;
  state.regular = S_ISREG(info.st_mode);
  state.inode = info.st_ino;
  state.size = info.st_size;
  state.modified = info.st_mtim;
  state.changed = info.st_ctim;
  if (state.regular && info.st_size <= kContentLimit) {
    state.hasContent = true;
    state.content = harness::ReadFile(path);
  }
  return state;
}

void ExpectSameState(const FileState& before, const FileState& after) {
  SCOPED_TRACE("input " + before.path);
  ASSERT_EQ(before.exists, after.exists) << "input appeared or vanished";
  if (!before.exists || !before.regular) return;
  EXPECT_EQ(before.inode, after.inode) << "input replaced";
  EXPECT_EQ(before.size, after.size) << "input length changed";
  EXPECT_TRUE(SameTime(before.modified, after.modified)) << "input modification time changed";
  EXPECT_TRUE(SameTime(before.changed, after.changed)) << "input status change time changed";
  if (before.hasContent) {
    EXPECT_TRUE(before.content == after.content) << "input bytes changed";
  }
}

std::string ZevTest::MakeInput(const std::string& name, const std::string& bytes) {
  harness::WriteFile(Path(name), bytes);
  WatchInput(Path(name));
  return name;
}

void ZevTest::WatchInput(const std::string& path) {
  for (const std::string& known : watched)
    if (known == path) return;
  watched.push_back(path);
}

harness::RunOptions ZevTest::Options(const std::vector<std::string>& args) const {
  harness::RunOptions options;
  options.program = ZEV_BINARY;
  options.args = args;
  options.workingDirectory = dir.path;
  // Generous for the sanitizer build; a run normally takes milliseconds.
  options.timeoutMilliseconds = 60000;
  return options;
}

harness::RunResult ZevTest::Run(const std::vector<std::string>& args, harness::StdoutMode mode) {
  harness::RunOptions options = Options(args);
  options.stdoutMode = mode;
  return Run(options);
}

harness::RunResult ZevTest::Run(const harness::RunOptions& options) {
  std::vector<FileState> before;
  for (const std::string& path : watched) before.push_back(TakeFileState(path));
  harness::RunResult result = harness::RunOnTerminal(options);
  EXPECT_FALSE(result.timedOut) << "zev did not end in time";
  for (const FileState& state : before) ExpectSameState(state, TakeFileState(state.path));
  return result;
}

void ExpectBanner(const harness::RunResult& result) {
  ASSERT_GE(result.rows, 6);
  EXPECT_EQ(result.RowText(0), "");
  EXPECT_EQ(result.RowText(1), std::string(55, ' ') + "Brimlo comaparator");
  EXPECT_EQ(result.RowText(2).size(), 73u) << "maker line ends in column 73";
  EXPECT_EQ(result.RowText(3), std::string(52, ' ') + "ZEV v1.0 build 050107");
  EXPECT_EQ(result.RowText(4), "");
  EXPECT_EQ(result.At(1, 72).foreground, TerminalColour(10));
  EXPECT_EQ(result.At(3, 72).foreground, TerminalColour(10));
}

void ExpectColours(const harness::RunResult& result, int row, int column, int count,
                   int foreground, int background) {
  for (int c = column; c < column + count && c < result.columns; ++c) {
    const harness::Cell& cell = result.At(row, c);
    if (cell.foreground != foreground || cell.background != background) {
      ADD_FAILURE() << "row " << row + 1 << " column " << c + 1 << " has colours " << cell.foreground
                    << " on " << cell.background << ", not " << foreground << " on " << background
                    << " (terminal palette)";
      return;
    }
  }
}

void ExpectFatal(const harness::RunResult& result, const std::string& message) {
  EXPECT_EQ(result.exitCode, 1);
  ExpectBanner(result);
  const std::string shown = TerminalText(message);
  EXPECT_EQ(CellsText(result, 5, 1, static_cast<int>(message.size())), shown);
  std::string rowText = " " + shown;
  while (!rowText.empty() && rowText.back() == ' ') rowText.pop_back();
  EXPECT_EQ(result.RowText(5), rowText);
  ExpectColours(result, 5, 1, static_cast<int>(message.size()), TerminalColour(12), TerminalColour(0));
  for (int row = 6; row < result.rows; ++row) EXPECT_EQ(result.RowText(row), "") << "row " << row + 1;
  EXPECT_EQ(result.cursorRow, 7);
  EXPECT_EQ(result.cursorColumn, 1);
}

bool IsStopLine(std::string_view line, int number) {
  const std::string lead = "Runtime error " + std::to_string(number) + " at 0x";
  return line.size() == lead.size() + 8 && line.substr(0, lead.size()) == lead &&
         IsUpperHex(line.substr(lead.size()));
}

bool IsPlaceLine(std::string_view line) {
  return line.size() == 12 && line.substr(0, 4) == "  0x" && IsUpperHex(line.substr(4));
}

void ExpectStopMessage(const std::string& text, int number) {
  SCOPED_TRACE("stop message: " + text);
  ASSERT_GE(text.size(), 2u);
  ASSERT_EQ(text.substr(text.size() - 2), "\r\n");
  std::vector<std::string> lines;
  for (size_t start = 0; start < text.size();) {
    const size_t end = text.find("\r\n", start);
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  ASSERT_GE(lines.size(), 3u);
  EXPECT_TRUE(IsStopLine(lines[0], number));
  EXPECT_EQ(lines[1], "  " + lines[0].substr(lines[0].size() - std::min<size_t>(lines[0].size(), 10)));
  for (size_t i = 1; i + 1 < lines.size(); ++i) EXPECT_TRUE(IsPlaceLine(lines[i])) << lines[i];
  EXPECT_EQ(lines.back(), "");
}

void ExpectScreenBannerOnly(const harness::RunResult& result) {
  ExpectBanner(result);
  for (int row = 5; row < result.rows; ++row) EXPECT_EQ(result.RowText(row), "") << "row " << row + 1;
}

}  // namespace e2e
