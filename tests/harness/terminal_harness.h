// A program run on a pseudo-terminal, the screen it leaves read through libvterm; scratch files.
#pragma once

#include <string>
#include <vector>

namespace harness {

enum class StdoutMode { Terminal, File, Pipe };

struct RunOptions {
  std::string program;
  std::vector<std::string> args;  // argv[1..]
  int columns = 80, rows = 25;
  StdoutMode stdoutMode = StdoutMode::Terminal;
  bool controllingTerminal = true;  // false: standard output and error on files
  std::string workingDirectory;     // empty: the current one
  bool unprivileged = false;        // run as user nobody (when started as root)
  int timeoutMilliseconds = 60000;
};

struct Cell {
  std::string text;     // UTF-8, "" for an empty cell
  int width = 1;        // 2 for a wide character, 0 for its right half
  int foreground = -1;  // palette index; -1 the terminal's own, -2 none of the palette
  int background = -1;
  bool bold = false;
};

struct RunResult {
  int exitCode = -1;  // or 128 + signal; 127 when it could not start
  bool timedOut = false;
  int columns = 0, rows = 0;
  std::vector<std::vector<Cell>> screen;  // [row][column], 0-based
  int cursorRow = 0, cursorColumn = 0;
  std::string terminalBytes, stdoutBytes, stderrBytes;
  std::string RowText(int row) const;  // without trailing blanks
  const Cell& At(int row, int column) const { return screen[row][column]; }
};

RunResult RunOnTerminal(const RunOptions& options);

// Writable by user nobody, removed with the object.
struct TempDirectory {
  TempDirectory();
  ~TempDirectory();
  TempDirectory(const TempDirectory&) = delete;
  std::string path;
  std::string File(const std::string& name) const { return path + "/" + name; }
};

// WriteFile fails the test when it cannot write and creates files with mode 0666; ReadFile gives "" for none.
void WriteFile(const std::string& path, const std::string& bytes);
std::string ReadFile(const std::string& path);

// The terminal's palette index of each of the tool's colours (a PC text screen's: bit 0 blue, bit 2 red).
inline constexpr int kPaletteIndexOfColour[16] = {0, 4, 2, 6, 1, 5, 3, 7, 8, 12, 10, 14, 9, 13, 11, 15};
constexpr int PaletteIndex(int toolColour) { return kPaletteIndexOfColour[toolColour & 15]; }
// count cells of a row from column on show these palette colours, and not in bold: the tool never asks for it.
void ExpectColours(const RunResult& result, int row, int column, int count, int foreground, int background);

}  // namespace harness
