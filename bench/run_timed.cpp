// Runs a command on a pseudo-terminal of its own (zev needs a console),
// with standard output on a file, and prints its wall time in seconds and
// its peak resident memory in kilobytes: run_timed OUTPUT COMMAND [ARG...]
#include <fcntl.h>
#include <pty.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: run_timed OUTPUT COMMAND [ARG...]\n");
    return 2;
  }
  winsize size = {};
  size.ws_row = 25;
  size.ws_col = 80;
  int terminal = -1;
  const auto start = std::chrono::steady_clock::now();
  const pid_t child = forkpty(&terminal, nullptr, nullptr, &size);
  if (child < 0) {
    std::perror("forkpty");
    return 2;
  }
  if (child == 0) {
    const int output = open(argv[1], O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (output < 0 || dup2(output, 1) < 0) _exit(126);
    close(output);
    execvp(argv[2], argv + 2);
    _exit(127);
  }
  // The terminal's output is read and dropped, so that the child never
  // waits on a full terminal; it ends when the child has closed it.
  char sink[4096];
  while (read(terminal, sink, sizeof sink) > 0) {
  }
  int status = 0;
  waitpid(child, &status, 0);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  rusage usage{};
  getrusage(RUSAGE_CHILDREN, &usage);
  std::printf("%.6f %ld %d\n", seconds, usage.ru_maxrss, WIFEXITED(status) ? WEXITSTATUS(status) : 128);
  return 0;
}
