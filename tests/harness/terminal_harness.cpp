// RunOnTerminal: one run of a program on a fresh pseudo-terminal, every
// wait bounded by the run's deadline.
#include "harness/terminal_harness.h"

#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

#include "harness/screen_capture.h"

extern char** environ;

namespace harness {
namespace {

using Clock = std::chrono::steady_clock;

// Once the program has ended, the harness writes this mark through its own
// end of the terminal; when the mark comes out of the master, everything
// the program wrote before it has come too, however late the kernel
// delivers it. Waiting for the terminal to close instead would lose output
// in flight when the last writer goes. The mark is a private OSC string,
// which the emulator ignores and the result does not show.
const std::string kEndMark = "\x1b]7311;end of run\x07";
// Only when neither the mark nor the pipe's end arrives (the program left
// something running that keeps the pipe open) does the run end after this.
const auto kQuietPeriod = std::chrono::milliseconds(2000);
const int kPollSliceMilliseconds = 10;
const uid_t kNobody = 65534;  // and its group of the same number

struct RunFiles {
  int master = -1;             // the terminal, parent's side
  int slave = -1;              // the terminal, kept open for the end mark
  int outputPipe = -1;         // read end (Pipe mode)
  int outputFile = -1;         // stdout file (File mode, or no terminal)
  int errorFile = -1;          // stderr file (no terminal)
  std::vector<int> childOnly;  // closed by the parent once the child runs
  int input = -1, output = -1, error = -1;  // the child's standard streams
};

void CloseAll(std::vector<int> fds) {
  for (int fd : fds) close(fd);
}

std::string Failure(const char* what) { return std::string(what) + ": " + std::strerror(errno); }

// An unlinked scratch file: nothing is left behind, whatever the run does.
int ScratchFile() {
  char pattern[] = "/tmp/zev-harness-XXXXXX";
  int fd = mkostemp(pattern, O_CLOEXEC);
  if (fd >= 0) unlink(pattern);
  return fd;
}

std::string ReadWhole(int fd) {
  std::string bytes;
  char buffer[65536];
  ssize_t count;
  while (fd >= 0 && (count = pread(fd, buffer, sizeof buffer, static_cast<off_t>(bytes.size()))) > 0) {
    bytes.append(buffer, static_cast<size_t>(count));
  }
  return bytes;
}

std::string OpenFiles(const RunOptions& options, RunFiles* files) {
  if (options.controllingTerminal) {
    winsize size = {};
    size.ws_row = static_cast<unsigned short>(options.rows);
    size.ws_col = static_cast<unsigned short>(options.columns);
    int slave = -1;
    if (openpty(&files->master, &slave, nullptr, nullptr, &size) < 0) return Failure("openpty");
    fcntl(files->master, F_SETFL, O_NONBLOCK);
    files->slave = slave;
    files->input = files->output = files->error = slave;
  } else {
    files->input = open("/dev/null", O_RDONLY | O_CLOEXEC);
    files->childOnly.push_back(files->input);
    files->error = files->errorFile = ScratchFile();
    if (files->input < 0 || files->errorFile < 0) return Failure("standard streams");
  }
  if (options.stdoutMode == StdoutMode::Pipe) {
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) < 0) return Failure("pipe2");
    fcntl(ends[0], F_SETFL, O_NONBLOCK);
    if (options.nonBlockingStdout) fcntl(ends[1], F_SETFL, O_NONBLOCK);
    files->outputPipe = ends[0];
    files->childOnly.push_back(files->output = ends[1]);
  } else if (options.stdoutMode == StdoutMode::File || !options.controllingTerminal) {
    files->output = files->outputFile = ScratchFile();
    if (files->outputFile < 0) return Failure("stdout file");
  }
  return "";
}

// Only async-signal-safe calls from here on: the parent may have threads
// (sanitizer runtimes do), so the child must not touch malloc or locks. A
// failure is told on the standard error the child has at that moment: the
// harness's own before the streams are in place, the program's after.
[[noreturn]] void FailChild(const char* prefix, const char* step) {
  const char* reason = strerrordesc_np(errno);
  for (const char* part : {prefix, step, ": ", reason ? reason : "?", "\n"}) {
    ssize_t ignored = write(STDERR_FILENO, part, std::strlen(part));
    (void)ignored;
  }
  _exit(127);
}

[[noreturn]] void RunChild(const RunOptions& options, const RunFiles& files, const char* prefix,
                           char* const* argv, char* const* envp) {
  // The harness's own dispositions (an ignored SIGPIPE, a blocked signal)
  // would otherwise survive execve and change how the program behaves.
  for (int signal = 1; signal < NSIG; ++signal) {
    if (signal != SIGKILL && signal != SIGSTOP) ::signal(signal, SIG_DFL);
  }
  sigset_t none;
  sigemptyset(&none);
  sigprocmask(SIG_SETMASK, &none, nullptr);
  if (setsid() < 0) FailChild(prefix, "setsid");
  if (files.master >= 0 && ioctl(files.input, TIOCSCTTY, 0) < 0) FailChild(prefix, "TIOCSCTTY");
  // Every source goes above 0..2 first: when the harness runs with a closed
  // standard stream, a source may sit on a number a dup2 below overwrites.
  int sources[3] = {files.input, files.output, files.error};
  for (int& fd : sources) {
    if ((fd = fcntl(fd, F_DUPFD_CLOEXEC, 10)) < 0) FailChild(prefix, "redirecting the streams");
  }
  for (int target = 0; target < 3; ++target) {
    if (dup2(sources[target], target) < 0) FailChild(prefix, "redirecting the streams");
  }
  if (close_range(3, ~0U, 0) < 0) {
    for (int fd = 3; fd < 1024; ++fd) close(fd);
  }
  if (!options.workingDirectory.empty() && chdir(options.workingDirectory.c_str()) < 0) {
    FailChild(prefix, "chdir");
  }
  gid_t group = kNobody;
  if (options.unprivileged && geteuid() == 0 &&
      (setgroups(1, &group) < 0 || setgid(kNobody) < 0 || setuid(kNobody) < 0)) {
    FailChild(prefix, "dropping to nobody");
  }
  execve(argv[0], argv, envp);
  FailChild(prefix, "execve");
}

std::vector<char*> Pointers(std::vector<std::string>& strings) {
  std::vector<char*> pointers;
  for (std::string& text : strings) pointers.push_back(text.data());
  pointers.push_back(nullptr);
  return pointers;
}

// A program that cannot be started exits 127 after saying why.
pid_t StartChild(const RunOptions& options, const RunFiles& files) {
  std::vector<std::string> words = {options.program};
  words.insert(words.end(), options.args.begin(), options.args.end());
  std::vector<std::string> variables = {"TERM=xterm-256color"};
  for (char** entry = environ; entry && *entry; ++entry) {
    if (std::strncmp(*entry, "TERM=", 5) != 0) variables.push_back(*entry);
  }
  std::vector<char*> argv = Pointers(words);
  std::vector<char*> envp = Pointers(variables);
  std::string prefix = "cannot start " + options.program + ": ";
  pid_t pid = fork();
  if (pid == 0) RunChild(options, files, prefix.c_str(), argv.data(), envp.data());
  return pid;
}

// Reads what is ready; false once the descriptor is at its end (EOF, or
// EIO on a master whose slave side everyone has closed).
bool Drain(int fd, std::string* bytes, ScreenCapture* capture) {
  char buffer[65536];
  for (;;) {
    ssize_t count = read(fd, buffer, sizeof buffer);
    if (count > 0) {
      bytes->append(buffer, static_cast<size_t>(count));
      if (capture) FeedScreen(capture, buffer, static_cast<size_t>(count));
    } else if (count == 0 || errno != EINTR) {
      return count < 0 && errno == EAGAIN;
    }
  }
}

void Supervise(pid_t pid, Clock::time_point deadline, const RunFiles& files,
               ScreenCapture* capture, RunResult* result) {
  pollfd watched[2] = {{files.master, POLLIN, 0}, {files.outputPipe, POLLIN, 0}};
  std::string* sinks[2] = {&result->terminalBytes, &result->stdoutBytes};
  bool exited = false;
  bool marked = files.master < 0;  // the end mark has come back
  bool markSent = false;
  Clock::time_point lastActivity = Clock::now();
  while (!exited || !marked || watched[1].fd >= 0) {
    Clock::time_point now = Clock::now();
    siginfo_t info = {};
    // WNOWAIT leaves the child a zombie, so its pid, and with it its process
    // group, cannot be reused while we still mean to signal that group.
    if (!exited && (waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) < 0 ||
                    info.si_pid == pid)) {
      exited = true;
      lastActivity = now;
    }
    if (!exited && now >= deadline) {
      kill(-pid, SIGKILL);
      kill(pid, SIGKILL);
      result->timedOut = exited = true;
      lastActivity = now;
      deadline = now + kQuietPeriod;  // what is in flight may still come
    }
    if (exited && !markSent && files.slave >= 0) {
      markSent = write(files.slave, kEndMark.data(), kEndMark.size()) ==
                 static_cast<ssize_t>(kEndMark.size());
    }
    if (exited && (now - lastActivity >= kQuietPeriod || now >= deadline)) break;
    if (poll(watched, 2, kPollSliceMilliseconds) < 0 && errno != EINTR) {
      result->harnessError = Failure("poll");
      break;
    }
    for (int i = 0; i < 2; ++i) {
      size_t before = sinks[i]->size();
      if (watched[i].revents && !Drain(watched[i].fd, sinks[i], i == 0 ? capture : nullptr)) {
        watched[i].fd = -1;
      }
      if (sinks[i]->size() != before) lastActivity = Clock::now();
    }
    size_t mark = result->terminalBytes.find(kEndMark);
    if (!marked && mark != std::string::npos) {
      result->terminalBytes.erase(mark, kEndMark.size());
      marked = true;
    }
  }
  // Whatever the program left running in its session goes with it.
  kill(-pid, SIGKILL);
  kill(pid, SIGKILL);
  // Ended or killed by now, so this wait is short.
  int status = 0;
  if (waitpid(pid, &status, 0) != pid) {
    result->harnessError = Failure("waitpid");
  } else {
    result->exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }
}

}  // namespace

RunResult RunOnTerminal(const RunOptions& options) {
  RunResult result;
  Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(options.timeoutMilliseconds);
  ScreenCapture capture;
  OpenScreen(&capture, options.columns, options.rows);
  RunFiles files;
  std::string error = OpenFiles(options, &files);
  capture.answerTo = files.master;
  pid_t pid = error.empty() ? StartChild(options, files) : -1;
  if (error.empty() && pid < 0) error = Failure("fork");
  // The parent's copies of the child's ends must go, or the master would
  // never see the slave close and the pipe would never reach its end.
  CloseAll(files.childOnly);
  if (error.empty()) {
    Supervise(pid, deadline, files, &capture, &result);
  } else {
    ADD_FAILURE() << (result.harnessError = error);
  }
  result.stdoutBytes += ReadWhole(files.outputFile);
  result.stderrBytes = ReadWhole(files.errorFile);
  CloseAll({files.master, files.slave, files.outputPipe, files.outputFile, files.errorFile});
  ReadScreen(capture, &result);
  CloseScreen(&capture);
  return result;
}

}  // namespace harness
