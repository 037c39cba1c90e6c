// RunOnTerminal: one run of a program on a fresh pseudo-terminal, every
// wait bounded by the run's deadline; scratch files; colour checks.
#include "harness/terminal_harness.h"

#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vterm.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

extern char** environ;

namespace harness {
namespace {

using Clock = std::chrono::steady_clock;

// Once the program has ended, the harness writes this mark through its own
// end of the terminal: when it comes out of the master, everything the
// program wrote has come too (waiting for the terminal to close would lose
// output in flight when the last writer goes). A private OSC string, which
// the emulator ignores.
const std::string kEndMark = "\x1b]7311;end of run\x07";

// Only async-signal-safe calls in the child: the parent may have threads
// (sanitizer runtimes do). A failure is told on the child's standard error.
[[noreturn]] void FailChild(const char* step) {
  const char* reason = strerrordesc_np(errno);
  for (const char* part : {"cannot start: ", step, ": ", reason ? reason : "?", "\n"}) {
    if (write(STDERR_FILENO, part, std::strlen(part)) < 0) break;
  }
  _exit(127);
}

[[noreturn]] void RunChild(const RunOptions& options, bool terminal, const int streams[3], char* const* argv) {
  for (int signal = 1; signal < NSIG; ++signal) ::signal(signal, SIG_DFL);  // not the harness's own
  sigset_t none;
  sigemptyset(&none);
  sigprocmask(SIG_SETMASK, &none, nullptr);
  if (setsid() < 0 || (terminal && ioctl(streams[0], TIOCSCTTY, 0) < 0)) FailChild("setsid");
  int sources[3];  // above 0..2 first, so that no dup2 overwrites one
  for (int i = 0; i < 3; ++i) sources[i] = fcntl(streams[i], F_DUPFD_CLOEXEC, 10);
  for (int i = 0; i < 3; ++i) {
    if (dup2(sources[i], i) < 0) FailChild("redirecting");
  }
  close_range(3, ~0U, 0);
  if (!options.workingDirectory.empty() && chdir(options.workingDirectory.c_str()) < 0) FailChild("chdir");
  const gid_t nobody = 65534;  // user and group
  if (options.unprivileged && geteuid() == 0 && (setgroups(1, &nobody) < 0 || setgid(nobody) < 0 || setuid(nobody) < 0)) {
    FailChild("dropping to nobody");
  }
  execve(argv[0], argv, environ);
  FailChild("execve");
}

// Tests speak in the 16 colours the program chose: a colour that libvterm
// holds as RGB is matched back against the palette.
int PaletteIndexOf(VTermState* state, VTermColor colour, bool foreground) {
  if (foreground ? VTERM_COLOR_IS_DEFAULT_FG(&colour) : VTERM_COLOR_IS_DEFAULT_BG(&colour)) return -1;
  if (VTERM_COLOR_IS_INDEXED(&colour)) return colour.indexed.idx;
  for (int index = 0; index < 16; ++index) {
    VTermColor entry;
    vterm_state_get_palette_color(state, index, &entry);
    vterm_state_convert_color_to_rgb(state, &entry);
    if (entry.rgb.red == colour.rgb.red && entry.rgb.green == colour.rgb.green && entry.rgb.blue == colour.rgb.blue) return index;
  }
  return -2;
}

// What a terminal of that size shows after receiving the bytes.
void ReadScreen(const std::string& bytes, int columns, int rows, RunResult* result) {
  VTerm* terminal = vterm_new(rows, columns);
  vterm_set_utf8(terminal, 1);
  VTermScreen* screen = vterm_obtain_screen(terminal);
  VTermState* state = vterm_obtain_state(terminal);
  vterm_screen_enable_altscreen(screen, 0);
  vterm_screen_reset(screen, 1);
  vterm_state_set_bold_highbright(state, 0);  // the bright colours are only those asked for
  vterm_input_write(terminal, bytes.data(), bytes.size());
  result->columns = columns;
  result->rows = rows;
  result->screen.assign(rows, std::vector<Cell>(columns));
  for (int row = 0; row < rows; ++row) {
    for (int column = 0; column < columns; ++column) {
      VTermScreenCell cell;
      vterm_screen_get_cell(screen, VTermPos{row, column}, &cell);
      char text[32];
      Cell& out = result->screen[row][column];
      out.text.assign(text, vterm_screen_get_text(screen, text, sizeof text, VTermRect{row, row + 1, column, column + 1}));
      out.width = cell.chars[0] == 0xFFFFFFFF ? 0 : cell.width;  // libvterm's mark of a wide character's right half
      out.foreground = PaletteIndexOf(state, cell.fg, true);
      out.background = PaletteIndexOf(state, cell.bg, false);
    }
  }
  VTermPos cursor;
  vterm_state_get_cursorpos(state, &cursor);
  result->cursorRow = cursor.row;
  result->cursorColumn = cursor.col;
  vterm_free(terminal);
}

}  // namespace

std::string RunResult::RowText(int row) const {
  std::string text;
  for (const Cell& cell : row >= 0 && row < rows ? screen[row] : std::vector<Cell>()) {
    if (cell.width != 0) text += cell.text.empty() ? std::string(" ") : cell.text;
  }
  return text.erase(text.find_last_not_of(' ') + 1);
}

RunResult RunOnTerminal(const RunOptions& options) {
  RunResult result;
  TempDirectory scratch;
  const bool terminal = options.controllingTerminal;
  int master = -1, slave = -1, pipeEnds[2] = {-1, -1}, streams[3];
  std::vector<int> childOnly;  // the parent's copies go once the child runs, so that the ends are seen
  const auto scratchFile = [&](const char* name) {
    return childOnly.emplace_back(open(scratch.File(name).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
  };
  winsize size = {static_cast<unsigned short>(options.rows), static_cast<unsigned short>(options.columns), 0, 0};
  if (terminal && openpty(&master, &slave, nullptr, nullptr, &size) < 0) ADD_FAILURE() << "openpty: " << std::strerror(errno);
  fcntl(master, F_SETFL, O_NONBLOCK);
  streams[0] = terminal ? slave : childOnly.emplace_back(open("/dev/null", O_RDONLY | O_CLOEXEC));
  streams[2] = terminal ? slave : scratchFile("stderr");
  streams[1] = options.stdoutMode == StdoutMode::File || !terminal ? scratchFile("stdout") : slave;
  if (options.stdoutMode == StdoutMode::Pipe && pipe2(pipeEnds, O_CLOEXEC) == 0) {
    fcntl(pipeEnds[0], F_SETFL, O_NONBLOCK);
    streams[1] = childOnly.emplace_back(pipeEnds[1]);
  }
  std::vector<std::string> words = {options.program};
  words.insert(words.end(), options.args.begin(), options.args.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  setenv("TERM", "xterm-256color", 1);
  const pid_t pid = fork();
  if (pid == 0) RunChild(options, terminal, streams, argv.data());
  for (int fd : childOnly) close(fd);

  // Until the program has ended, the mark is back and the pipe at its end:
  // past the deadline the program is killed, and 2 s after it has ended
  // the run ends whatever it left running.
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(options.timeoutMilliseconds);
  Clock::time_point ended;
  pollfd watched[2] = {{master, POLLIN, 0}, {pipeEnds[0], POLLIN, 0}};
  std::string* sinks[2] = {&result.terminalBytes, &result.stdoutBytes};
  bool exited = pid <= 0, marked = !terminal;
  while (!exited || ((!marked || watched[1].fd >= 0) && Clock::now() < ended + std::chrono::seconds(2))) {
    if (!exited) {
      siginfo_t info = {};
      // WNOWAIT leaves a zombie, so that its process group cannot be reused while it is signalled.
      exited = waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) < 0 || info.si_pid == pid;
      result.timedOut = !exited && Clock::now() >= deadline;
      if (result.timedOut) kill(-pid, SIGKILL), kill(pid, SIGKILL);
      if (exited || result.timedOut) {
        exited = true;
        ended = Clock::now();
        marked = !terminal || write(slave, kEndMark.data(), kEndMark.size()) < 0;
      }
    }
    poll(watched, 2, 10);
    for (int i = 0; i < 2; ++i) {
      char buffer[65536];
      ssize_t count = 0;
      while (watched[i].revents && (count = read(watched[i].fd, buffer, sizeof buffer)) > 0) sinks[i]->append(buffer, count);
      // At the end: EOF, or EIO on a master whose slave everyone has closed.
      if (watched[i].revents && (count == 0 || (count < 0 && errno != EAGAIN && errno != EINTR))) watched[i].fd = -1;
    }
    if (const size_t mark = result.terminalBytes.find(kEndMark); !marked && mark != std::string::npos) {
      result.terminalBytes.erase(mark, kEndMark.size());
      marked = true;
    }
  }
  int status = 0;
  if (pid > 0) {
    kill(-pid, SIGKILL);  // whatever the program left running in its session
    kill(pid, SIGKILL);
    if (waitpid(pid, &status, 0) == pid) result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }
  ReadScreen(result.terminalBytes, options.columns, options.rows, &result);
  result.stdoutBytes += ReadFile(scratch.File("stdout"));
  result.stderrBytes = ReadFile(scratch.File("stderr"));
  for (int fd : {master, slave, pipeEnds[0]}) close(fd);
  return result;
}

TempDirectory::TempDirectory() {
  char pattern[] = "/tmp/zev-test-XXXXXX";
  if (mkdtemp(pattern) == nullptr) ADD_FAILURE() << "mkdtemp: " << std::strerror(errno);
  path = pattern;
  chmod(path.c_str(), 0777);  // so that a program run as nobody can create files here
}

TempDirectory::~TempDirectory() {
  std::error_code ignored;
  std::filesystem::remove_all(path, ignored);
}

void WriteFile(const std::string& path, const std::string& bytes) {
  struct stat status;
  const bool created = lstat(path.c_str(), &status) != 0;
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  if (!file.write(bytes.data(), static_cast<std::streamsize>(bytes.size())).flush()) ADD_FAILURE() << "cannot write " << path;
  if (created) chmod(path.c_str(), 0666);  // an input is opened for writing, also by nobody
}

std::string ReadFile(const std::string& path) {
  std::ostringstream bytes;
  if (std::ifstream file(path, std::ios::binary); file) bytes << file.rdbuf();
  return bytes.str();
}

void ExpectColours(const RunResult& result, int row, int column, int count, int foreground, int background) {
  for (int c = column; c < column + count && c < result.columns; ++c) {
    const Cell& cell = result.At(row, c);
    if (cell.foreground != foreground || cell.background != background) {
      ADD_FAILURE() << "row " << row + 1 << " column " << c + 1 << " has colours " << cell.foreground << " on "
                    << cell.background << ", not " << foreground << " on " << background;
      return;
    }
  }
}

}  // namespace harness
