// One run of a program on a fresh pseudo-terminal, every wait bounded by the run's deadline.
#include "harness/terminal_harness.h"

#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vterm.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

extern char** environ;

namespace harness {
namespace {

// Written through the harness's own end of the terminal once the program has ended: when it comes out, all the
// program wrote has come too. A private OSC string.
const std::string kEndMark = "\x1b]7311;end of run\x07";

// Only async-signal-safe calls: the parent may have threads.
[[noreturn]] void RunChild(const RunOptions& options, const int streams[3], char* const* argv) {
  for (int signal = 1; signal < NSIG; ++signal) ::signal(signal, SIG_DFL);
  sigset_t none;
  sigemptyset(&none);
  sigprocmask(SIG_SETMASK, &none, nullptr);
  setsid();
  if (options.controllingTerminal) ioctl(streams[0], TIOCSCTTY, 0);
  int sources[3];  // above 0..2 first, so that no dup2 overwrites one
  for (int i = 0; i < 3; ++i) sources[i] = fcntl(streams[i], F_DUPFD_CLOEXEC, 10);
  for (int i = 0; i < 3; ++i) dup2(sources[i], i);
  close_range(3, ~0U, 0);
  const rlimit largestFile = {1 << 30, 1 << 30};  // a runaway report fails its test, not the machine's disk
  setrlimit(RLIMIT_FSIZE, &largestFile);
  const gid_t nobody = 65534;  // user and group
  const bool privileged = options.unprivileged && geteuid() == 0;
  if ((options.workingDirectory.empty() || chdir(options.workingDirectory.c_str()) == 0) &&
      (!privileged || (setgroups(1, &nobody) == 0 && setgid(nobody) == 0 && setuid(nobody) == 0))) {
    execve(argv[0], argv, environ);
  }
  const char message[] = "cannot start\n";
  [[maybe_unused]] const ssize_t written = write(STDERR_FILENO, message, sizeof message - 1);
  _exit(127);
}

// A colour libvterm holds as RGB, matched back against the 16 of the palette.
int PaletteIndexOf(VTermState* state, VTermColor colour, bool foreground) {
  if (foreground ? VTERM_COLOR_IS_DEFAULT_FG(&colour) : VTERM_COLOR_IS_DEFAULT_BG(&colour)) return -1;
  if (VTERM_COLOR_IS_INDEXED(&colour)) return colour.indexed.idx;
  for (int index = 0; index < 16; ++index) {
    VTermColor entry;
    vterm_state_get_palette_color(state, index, &entry);
    vterm_state_convert_color_to_rgb(state, &entry);
    if (entry.rgb.red == colour.rgb.red && entry.rgb.green == colour.rgb.green && entry.rgb.blue == colour.rgb.blue) {
      return index;
    }
  }
  return -2;
}

// What a terminal of the run's size shows after receiving its bytes.
void ReadScreen(RunResult& result) {
  VTerm* terminal = vterm_new(result.rows, result.columns);
  vterm_set_utf8(terminal, 1);
  VTermScreen* screen = vterm_obtain_screen(terminal);
  VTermState* state = vterm_obtain_state(terminal);
  vterm_screen_reset(screen, 1);
  vterm_state_set_bold_highbright(state, 0);  // the bright colours are only those asked for
  vterm_input_write(terminal, result.terminalBytes.data(), result.terminalBytes.size());
  result.screen.assign(result.rows, std::vector<Cell>(result.columns));
  for (int row = 0; row < result.rows; ++row) {
    for (int column = 0; column < result.columns; ++column) {
      VTermScreenCell cell;
      vterm_screen_get_cell(screen, VTermPos{row, column}, &cell);
      char text[32];
      Cell& out = result.screen[row][column];
      const VTermRect rect = {row, row + 1, column, column + 1};
      out.text.assign(text, vterm_screen_get_text(screen, text, sizeof text, rect));
      out.width = cell.chars[0] == 0xFFFFFFFF ? 0 : cell.width;  // libvterm's mark of a wide character's right half
      out.foreground = PaletteIndexOf(state, cell.fg, true);
      out.background = PaletteIndexOf(state, cell.bg, false);
      out.bold = cell.attrs.bold != 0;
    }
  }
  VTermPos cursor;
  vterm_state_get_cursorpos(state, &cursor);
  result.cursorRow = cursor.row;
  result.cursorColumn = cursor.col;
  vterm_free(terminal);
}

}  // namespace

std::string RunResult::RowText(int row) const {
  std::string text;
  for (const Cell& cell : row >= 0 && row < rows ? screen[row] : std::vector<Cell>()) {
    if (cell.width != 0) text += cell.text.empty() ? " " : cell.text;
  }
  return text.erase(text.find_last_not_of(' ') + 1);
}

RunResult RunOnTerminal(const RunOptions& options) {
  RunResult result;
  result.columns = options.columns;
  result.rows = options.rows;
  TempDirectory scratch;
  const bool terminal = options.controllingTerminal;
  int master = -1, slave = -1, pipeEnds[2] = {-1, -1};
  std::vector<int> childOnly;  // the parent's copies go once the child runs, so that the ends are seen
  const auto own = [&](int fd) { return childOnly.emplace_back(fd); };
  const auto scratchFile = [&](const char* name) {
    return own(open(scratch.File(name).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
  };
  winsize size = {static_cast<unsigned short>(options.rows), static_cast<unsigned short>(options.columns), 0, 0};
  if (terminal && openpty(&master, &slave, nullptr, nullptr, &size) < 0) ADD_FAILURE() << "openpty failed";
  fcntl(master, F_SETFL, O_NONBLOCK);
  int streams[3] = {terminal ? slave : own(open("/dev/null", O_RDONLY | O_CLOEXEC)), slave,
                    terminal ? slave : scratchFile("stderr")};
  if (options.stdoutMode == StdoutMode::File || !terminal) streams[1] = scratchFile("stdout");
  if (options.stdoutMode == StdoutMode::Pipe && pipe2(pipeEnds, O_CLOEXEC) == 0) {
    fcntl(pipeEnds[0], F_SETFL, O_NONBLOCK);
    streams[1] = own(pipeEnds[1]);
  }
  std::vector<std::string> words = {options.program};
  words.insert(words.end(), options.args.begin(), options.args.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  setenv("TERM", "xterm-256color", 1);
  const pid_t pid = fork();
  if (pid == 0) RunChild(options, streams, argv.data());
  for (int fd : childOnly) close(fd);

  // Until the program has ended, the mark is back and the pipe at its end; killed at the deadline, and 2 s after
  // its end whatever it left running.
  using Clock = std::chrono::steady_clock;
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(options.timeoutMilliseconds);
  Clock::time_point ended;
  pollfd watched[2] = {{master, POLLIN, 0}, {pipeEnds[0], POLLIN, 0}};
  std::string* sinks[2] = {&result.terminalBytes, &result.stdoutBytes};
  bool exited = pid <= 0, marked = !terminal;
  while (!exited || ((!marked || watched[1].fd >= 0) && Clock::now() < ended + std::chrono::seconds(2))) {
    siginfo_t info = {};
    // WNOWAIT leaves a zombie, so that its process group cannot be reused while it is signalled.
    if (!exited && (waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) < 0 ||
                    info.si_pid == pid || (result.timedOut = Clock::now() >= deadline))) {
      if (result.timedOut) kill(-pid, SIGKILL);
      exited = true;
      ended = Clock::now();
      marked = !terminal || write(slave, kEndMark.data(), kEndMark.size()) < 0;
    }
    poll(watched, 2, 10);
    for (int i = 0; i < 2; ++i) {
      char buffer[65536];
      ssize_t count = 0;
      while (watched[i].revents && (count = read(watched[i].fd, buffer, sizeof buffer)) > 0) {
        sinks[i]->append(buffer, count);
      }
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
    if (waitpid(pid, &status, 0) == pid) {
      result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
  }
  ReadScreen(result);
  result.stdoutBytes += ReadFile(scratch.File("stdout"));
  result.stderrBytes = ReadFile(scratch.File("stderr"));
  for (int fd : {master, slave, pipeEnds[0]}) close(fd);
  return result;
}

TempDirectory::TempDirectory() {
  char pattern[] = "/tmp/zev-test-XXXXXX";
  if (mkdtemp(pattern) != nullptr) path = pattern;
  chmod(pattern, 0777);
}

TempDirectory::~TempDirectory() {
  std::error_code ignored;
  std::filesystem::remove_all(path, ignored);
}

void WriteFile(const std::string& path, const std::string& bytes) {
  struct stat status;
  const bool created = lstat(path.c_str(), &status) != 0;
  if (!std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size())).flush()) {
    ADD_FAILURE() << "cannot write " << path;
  }
  if (created) chmod(path.c_str(), 0666);  // an input is opened for writing, also by nobody
}

std::string ReadFile(const std::string& path) {
  std::ostringstream bytes;
  bytes << std::ifstream(path, std::ios::binary).rdbuf();
  return bytes.str();
}

void ExpectColours(const RunResult& result, int row, int column, int count, int foreground, int background) {
  for (int c = column; c < column + count && c < result.columns; ++c) {
    const Cell& cell = result.At(row, c);
    ASSERT_TRUE(cell.foreground == foreground && cell.background == background && !cell.bold)
        << "row " << row + 1 << " column " << c + 1 << " has colours " << cell.foreground << " on " << cell.background
        << (cell.bold ? ", in bold" : "");
  }
}

}  // namespace harness
