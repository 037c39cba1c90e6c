// RunOnTerminal: one run of a program on a fresh pseudo-terminal, every
// wait bounded by the run's deadline.
#include "harness/terminal_harness.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

#include "harness/child_start.h"
#include "harness/screen_capture.h"

namespace harness {
namespace {

using Clock = std::chrono::steady_clock;

// After the program has ended, output still in flight is waited for this
// long; a descendant that keeps the terminal open cannot hold the run.
const auto kQuietPeriod = std::chrono::milliseconds(200);
// Upper bound on the period in which the loop looks for the child's exit.
const int kPollSliceMilliseconds = 10;
// How long a killed child is given to be reaped, beyond the deadline.
const auto kReapGrace = std::chrono::seconds(5);

struct RunFiles {
  int master = -1;
  int slave = -1;
  int outputPipe = -1;   // parent's read end
  int outputFile = -1;   // stdout file (File mode, or no terminal)
  int errorFile = -1;    // stderr file (no terminal)
  int nullInput = -1;
  int childOutput = -1;  // pipe write end, closed after the fork
};

void CloseFd(int* fd) {
  if (*fd >= 0) close(*fd);
  *fd = -1;
}

void CloseAll(RunFiles* files) {
  CloseFd(&files->master);
  CloseFd(&files->slave);
  CloseFd(&files->outputPipe);
  CloseFd(&files->outputFile);
  CloseFd(&files->errorFile);
  CloseFd(&files->nullInput);
  CloseFd(&files->childOutput);
}

std::string Failure(const char* what) {
  return std::string(what) + ": " + std::strerror(errno);
}

// An unlinked scratch file: nothing is left behind, whatever the run does.
int OpenScratchFile() {
  char pattern[] = "/tmp/zev-harness-XXXXXX";
  int fd = mkostemp(pattern, O_CLOEXEC);
  if (fd >= 0) unlink(pattern);
  return fd;
}

std::string ReadWhole(int fd) {
  std::string bytes;
  if (fd < 0 || lseek(fd, 0, SEEK_SET) < 0) return bytes;
  char buffer[65536];
  for (;;) {
    ssize_t count = read(fd, buffer, sizeof buffer);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) break;
    bytes.append(buffer, static_cast<size_t>(count));
  }
  return bytes;
}

int OpenTerminal(const RunOptions& options, RunFiles* files, std::string* error) {
  files->master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (files->master < 0) return *error = Failure("posix_openpt"), -1;
  if (grantpt(files->master) < 0) return *error = Failure("grantpt"), -1;
  if (unlockpt(files->master) < 0) return *error = Failure("unlockpt"), -1;
  char name[128];
  if (ptsname_r(files->master, name, sizeof name) != 0) {
    return *error = Failure("ptsname_r"), -1;
  }
  winsize size = {};
  size.ws_row = static_cast<unsigned short>(options.rows);
  size.ws_col = static_cast<unsigned short>(options.columns);
  if (ioctl(files->master, TIOCSWINSZ, &size) < 0) {
    return *error = Failure("TIOCSWINSZ"), -1;
  }
  files->slave = open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (files->slave < 0) return *error = Failure("open slave"), -1;
  int flags = fcntl(files->master, F_GETFL);
  fcntl(files->master, F_SETFL, flags | O_NONBLOCK);
  return 0;
}

int OpenStreams(const RunOptions& options, RunFiles* files,
                ChildStreams* streams, std::string* error) {
  if (options.controllingTerminal) {
    if (OpenTerminal(options, files, error) < 0) return -1;
    streams->terminal = files->slave;
    streams->input = files->slave;
    streams->output = files->slave;
    streams->error = files->slave;
  } else {
    files->nullInput = open("/dev/null", O_RDONLY | O_CLOEXEC);
    if (files->nullInput < 0) return *error = Failure("/dev/null"), -1;
    files->errorFile = OpenScratchFile();
    if (files->errorFile < 0) return *error = Failure("stderr file"), -1;
    streams->input = files->nullInput;
    streams->error = files->errorFile;
  }

  if (options.stdoutMode == StdoutMode::Pipe) {
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) < 0) return *error = Failure("pipe2"), -1;
    files->outputPipe = ends[0];
    files->childOutput = ends[1];
    fcntl(files->outputPipe, F_SETFL, fcntl(files->outputPipe, F_GETFL) | O_NONBLOCK);
    streams->output = files->childOutput;
  } else if (options.stdoutMode == StdoutMode::File || !options.controllingTerminal) {
    files->outputFile = OpenScratchFile();
    if (files->outputFile < 0) return *error = Failure("stdout file"), -1;
    streams->output = files->outputFile;
  }
  return 0;
}

int MillisecondsUntil(Clock::time_point moment) {
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(moment - Clock::now());
  return left.count() < 0 ? 0 : static_cast<int>(left.count());
}

// Sends as much of the terminal's pending answers as the master takes now.
void SendReplies(int master, ScreenCapture* capture) {
  while (!capture->replies.empty()) {
    ssize_t count = write(master, capture->replies.data(), capture->replies.size());
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) {
      // EAGAIN: try again once poll says so. Anything else: nobody listens.
      if (count < 0 && errno != EAGAIN) capture->replies.clear();
      return;
    }
    capture->replies.erase(0, static_cast<size_t>(count));
  }
}

// Reads what is ready; returns false once the descriptor is at its end
// (EOF, or EIO on a master whose slave side has been closed by everyone).
bool Drain(int fd, std::string* bytes, ScreenCapture* capture, bool* gotData) {
  char buffer[65536];
  for (;;) {
    ssize_t count = read(fd, buffer, sizeof buffer);
    if (count > 0) {
      bytes->append(buffer, static_cast<size_t>(count));
      if (capture) FeedScreen(capture, buffer, static_cast<size_t>(count));
      *gotData = true;
      continue;
    }
    if (count < 0 && errno == EINTR) continue;
    if (count < 0 && errno == EAGAIN) return true;
    return false;
  }
}

bool HasExited(pid_t pid) {
  siginfo_t info = {};
  // WNOWAIT leaves the child a zombie, so its pid, and with it its process
  // group, cannot be reused while we still mean to signal that group.
  if (waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) < 0) {
    return errno == ECHILD;
  }
  return info.si_pid == pid;
}

int Reap(pid_t pid, Clock::time_point limit, std::string* error) {
  for (;;) {
    int status = 0;
    pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == pid) {
      if (WIFEXITED(status)) return WEXITSTATUS(status);
      if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
      return -1;
    }
    if (done < 0 && errno != EINTR) {
      *error = Failure("waitpid");
      return -1;
    }
    if (Clock::now() >= limit) {
      *error = "the program could not be reaped after SIGKILL";
      return -1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
}

void Supervise(pid_t pid, Clock::time_point deadline,
               RunFiles* files, ScreenCapture* capture, RunResult* result) {
  bool masterOpen = files->master >= 0;
  bool pipeOpen = files->outputPipe >= 0;
  bool exited = false;
  Clock::time_point lastActivity = Clock::now();
  Clock::time_point stopDraining = deadline;

  for (;;) {
    if (!exited && HasExited(pid)) {
      exited = true;
      lastActivity = Clock::now();
    }
    if (!exited && Clock::now() >= deadline) {
      kill(-pid, SIGKILL);
      kill(pid, SIGKILL);
      result->timedOut = true;
      exited = true;
      lastActivity = Clock::now();
      stopDraining = lastActivity + kQuietPeriod * 5;
    }
    if (exited && !masterOpen && !pipeOpen) break;
    if (exited && Clock::now() - lastActivity >= kQuietPeriod) break;
    if (exited && Clock::now() >= stopDraining) break;

    pollfd watched[2];
    int count = 0;
    int masterSlot = -1;
    int pipeSlot = -1;
    if (masterOpen) {
      masterSlot = count;
      short events = POLLIN;
      if (!capture->replies.empty()) events |= POLLOUT;
      watched[count++] = {files->master, events, 0};
    }
    if (pipeOpen) {
      pipeSlot = count;
      watched[count++] = {files->outputPipe, POLLIN, 0};
    }
    int slice = kPollSliceMilliseconds;
    if (!exited) slice = std::min(slice, MillisecondsUntil(deadline));
    int ready = poll(watched, static_cast<nfds_t>(count), slice);
    if (ready < 0 && errno != EINTR) {
      result->harnessError = Failure("poll");
      break;
    }
    if (ready <= 0) continue;

    bool gotData = false;
    if (masterSlot >= 0 && watched[masterSlot].revents) {
      masterOpen = Drain(files->master, &result->terminalBytes, capture, &gotData);
      if (masterOpen) SendReplies(files->master, capture);
    }
    if (pipeSlot >= 0 && watched[pipeSlot].revents) {
      pipeOpen = Drain(files->outputPipe, &result->stdoutBytes, nullptr, &gotData);
    }
    if (gotData) lastActivity = Clock::now();
  }

  // Whatever the program left running in its session goes with it.
  kill(-pid, SIGKILL);
  std::string error;
  result->exitCode = Reap(pid, Clock::now() + kReapGrace, &error);
  if (!error.empty()) result->harnessError = error;
}

}  // namespace

RunResult RunOnTerminal(const RunOptions& options) {
  RunResult result;
  result.columns = options.columns;
  result.rows = options.rows;
  if (options.columns < 1 || options.rows < 1 || options.columns > 1000 ||
      options.rows > 1000) {
    result.harnessError = "screen size out of range";
    ADD_FAILURE_AT(__FILE__, __LINE__) << result.harnessError;
    return result;
  }
  Clock::time_point deadline =
      Clock::now() + std::chrono::milliseconds(options.timeoutMilliseconds);

  ScreenCapture capture;
  OpenScreen(&capture, options.columns, options.rows);

  RunFiles files;
  ChildStreams streams;
  std::string error;
  if (OpenStreams(options, &files, &streams, &error) < 0) {
    result.harnessError = error;
    ADD_FAILURE_AT(__FILE__, __LINE__) << error;
    CloseAll(&files);
    ReadScreen(capture, &result);
    CloseScreen(&capture);
    return result;
  }

  pid_t pid = -1;
  int failure = StartChild(options, streams, MillisecondsUntil(deadline), &pid, &error);
  // The parent's copies of the child's ends must go, or the master would
  // never see the slave close and the pipe would never reach its end.
  CloseFd(&files.slave);
  CloseFd(&files.childOutput);
  CloseFd(&files.nullInput);
  if (failure != 0) {
    result.harnessError = error;
    result.exitCode = 127;
  } else {
    Supervise(pid, deadline, &files, &capture, &result);
  }

  if (options.stdoutMode != StdoutMode::Pipe) {
    result.stdoutBytes = ReadWhole(files.outputFile);
  }
  result.stderrBytes = ReadWhole(files.errorFile);
  CloseAll(&files);
  ReadScreen(capture, &result);
  CloseScreen(&capture);
  return result;
}

}  // namespace harness
