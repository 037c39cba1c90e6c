#include "harness/child_start.h"

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

extern char** environ;

namespace harness {
namespace {

// Which step of the child's set-up failed; sent up the error pipe with errno.
enum ChildStep {
  kStepSession = 1,
  kStepControllingTerminal,
  kStepStreams,
  kStepDirectory,
  kStepGroups,
  kStepGroup,
  kStepUser,
  kStepExec,
};

const char* StepName(int step) {
  switch (step) {
    case kStepSession: return "setsid";
    case kStepControllingTerminal: return "TIOCSCTTY";
    case kStepStreams: return "redirecting the standard streams";
    case kStepDirectory: return "chdir";
    case kStepGroups: return "setgroups";
    case kStepGroup: return "setgid";
    case kStepUser: return "setuid";
    case kStepExec: return "execve";
  }
  return "set-up";
}

const uid_t kNobody = 65534;

// Only async-signal-safe calls from here on: the parent may have threads
// (sanitizer runtimes do), so the child must not touch malloc or locks.
[[noreturn]] void FailChild(int report, int step) {
  int message[2] = {step, errno};
  ssize_t ignored = write(report, message, sizeof message);
  (void)ignored;
  _exit(127);
}

void CloseFrom(int first) {
#ifdef SYS_close_range
  if (syscall(SYS_close_range, first, ~0U, 0) == 0) return;
#endif
  long last = sysconf(_SC_OPEN_MAX);
  if (last < 0 || last > 65536) last = 65536;
  for (int fd = first; fd < last; ++fd) close(fd);
}

[[noreturn]] void RunChild(const RunOptions& options,
                           const ChildStreams& streams, int report,
                           char* const* argv, char* const* envp) {
  // The harness's own dispositions (an ignored SIGPIPE, a blocked signal)
  // would otherwise survive execve and change how the program behaves.
  for (int signal = 1; signal < NSIG; ++signal) {
    if (signal != SIGKILL && signal != SIGSTOP) ::signal(signal, SIG_DFL);
  }
  sigset_t none;
  sigemptyset(&none);
  sigprocmask(SIG_SETMASK, &none, nullptr);

  if (setsid() < 0) FailChild(report, kStepSession);
  if (streams.terminal >= 0 && ioctl(streams.terminal, TIOCSCTTY, 0) < 0) {
    FailChild(report, kStepControllingTerminal);
  }

  // Lift every source above 0..3 first: when the harness itself runs with a
  // closed standard stream, a source may sit on the very number that a
  // dup2 below is about to overwrite.
  const int kHigh = 10;
  int input = fcntl(streams.input, F_DUPFD, kHigh);
  int output = fcntl(streams.output, F_DUPFD, kHigh);
  int error = fcntl(streams.error, F_DUPFD, kHigh);
  int lifted = fcntl(report, F_DUPFD_CLOEXEC, kHigh);
  if (input < 0 || output < 0 || error < 0 || lifted < 0) {
    FailChild(report, kStepStreams);
  }
  report = lifted;
  if (dup2(input, 0) < 0 || dup2(output, 1) < 0 || dup2(error, 2) < 0 ||
      dup2(report, 3) < 0) {
    FailChild(report, kStepStreams);
  }
  report = 3;
  fcntl(report, F_SETFD, FD_CLOEXEC);
  CloseFrom(4);

  if (!options.workingDirectory.empty() &&
      chdir(options.workingDirectory.c_str()) < 0) {
    FailChild(report, kStepDirectory);
  }
  if (options.unprivileged && geteuid() == 0) {
    gid_t group = kNobody;
    if (setgroups(1, &group) < 0) FailChild(report, kStepGroups);
    if (setgid(kNobody) < 0) FailChild(report, kStepGroup);
    if (setuid(kNobody) < 0) FailChild(report, kStepUser);
  }
  execve(argv[0], argv, envp);
  FailChild(report, kStepExec);
}

}  // namespace

int StartChild(const RunOptions& options, const ChildStreams& streams,
               int deadlineMilliseconds, pid_t* pid, std::string* error) {
  // Everything the child needs is built before fork.
  std::vector<std::string> words;
  words.push_back(options.program);
  words.insert(words.end(), options.args.begin(), options.args.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);

  std::vector<std::string> variables;
  for (char** entry = environ; entry && *entry; ++entry) {
    if (std::strncmp(*entry, "TERM=", 5) != 0) variables.push_back(*entry);
  }
  variables.push_back("TERM=xterm-256color");
  std::vector<char*> envp;
  for (std::string& variable : variables) envp.push_back(variable.data());
  envp.push_back(nullptr);

  int report[2];
  if (pipe2(report, O_CLOEXEC) < 0) {
    int failure = errno;
    *error = std::string("pipe2: ") + std::strerror(failure);
    return failure;
  }
  pid_t child = fork();
  if (child < 0) {
    int failure = errno;
    close(report[0]);
    close(report[1]);
    *error = std::string("fork: ") + std::strerror(failure);
    return failure;
  }
  if (child == 0) RunChild(options, streams, report[1], argv.data(), envp.data());
  close(report[1]);

  // The pipe closes on a successful execve (close-on-exec) or carries the
  // failed step. Bounded, in case the child stalls in its set-up.
  int message[2] = {0, 0};
  size_t received = 0;
  pollfd waiting = {report[0], POLLIN, 0};
  while (received < sizeof message) {
    int ready = poll(&waiting, 1, deadlineMilliseconds);
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) break;
    ssize_t count = read(report[0], reinterpret_cast<char*>(message) + received,
                         sizeof message - received);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) break;
    received += static_cast<size_t>(count);
  }
  close(report[0]);
  *pid = child;
  if (received < sizeof message) return 0;

  int status;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  *error = std::string("cannot start ") + options.program + ": " +
           StepName(message[0]) + ": " + std::strerror(message[1]);
  return message[1] != 0 ? message[1] : ECHILD;
}

}  // namespace harness
