// Runs a program on a pseudo-terminal and reads the screen it leaves
// through libvterm: characters, colours and cursor, plus the bytes of a
// redirected standard output and the exit code.
#pragma once

#include <string>
#include <vector>

namespace harness {

enum class StdoutMode { Terminal, File, Pipe };

struct RunOptions {
  std::string program;              // path of the executable
  std::vector<std::string> args;    // argv[1..]; argv[0] is the program path
  int columns = 80;
  int rows = 25;
  StdoutMode stdoutMode = StdoutMode::Terminal;
  bool controllingTerminal = true;  // false: a new session without a terminal,
                                    // standard output and error go to files
  std::string workingDirectory;     // empty: the current one
  bool unprivileged = false;        // run as user nobody (when started as root)
  bool nonBlockingStdout = false;   // Pipe: the child's end is non-blocking, as a
                                    // parent may leave it
  int timeoutMilliseconds = 20000;  // the child is killed after this
};

// One screen cell as the terminal shows it.
struct Cell {
  std::string text;     // UTF-8 of the character, "" for an empty cell
  int width = 1;        // 2 for a wide character, 0 for its right half
  int foreground = -1;  // palette index 0..15, -1 for the terminal default
  int background = -1;  // (16..255 for a colour of the 256-colour cube, -2
                        // for a direct RGB colour outside the palette)
  bool bold = false;
  bool reverse = false;
};

struct RunResult {
  int exitCode = -1;  // exit status or 128 + signal (137 after a timeout);
                      // 127 with the reason shown when it could not start
  bool timedOut = false;
  int columns = 0;
  int rows = 0;
  std::vector<std::vector<Cell>> screen;  // [row][column], 0-based
  int cursorRow = 0;  // 0-based, as are the columns
  int cursorColumn = 0;
  std::string terminalBytes;  // everything the terminal received
  std::string stdoutBytes;    // the redirected standard output (File or Pipe)
  std::string stderrBytes;    // standard error when there is no terminal
  std::string harnessError;   // why the harness could not run it, if so

  // Row r (0-based) as UTF-8 text, empty cells as blanks, trailing blanks removed.
  std::string RowText(int row) const;
  const Cell& At(int row, int column) const { return screen[row][column]; }
};

RunResult RunOnTerminal(const RunOptions& options);

// A scratch directory removed when the object goes; readable and writable
// by the unprivileged user too.
struct TempDirectory {
  TempDirectory();
  ~TempDirectory();
  TempDirectory(const TempDirectory&) = delete;
  TempDirectory& operator=(const TempDirectory&) = delete;
  std::string path;
  std::string File(const std::string& name) const { return path + "/" + name; }
};

// Binary-exact. WriteFile fails the test when it cannot write and gives a
// file it creates mode 0666; ReadFile gives "" for a file it cannot read.
void WriteFile(const std::string& path, const std::string& bytes);
std::string ReadFile(const std::string& path);

}  // namespace harness
