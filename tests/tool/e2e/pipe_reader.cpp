// Starts a program with its standard output on a pipe whose reader takes
// the first KEEP bytes and then closes its end (at once for KEEP 0), so the
// program's later writes meet a closed pipe at a known point.
//
//   zev_e2e_pipe_reader KEEP KEPT-FILE PROGRAM [ARGUMENT...]
//
// The kept bytes go to KEPT-FILE; the exit status is the program's, or
// 128 + the signal that ended it.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fputs("usage: zev_e2e_pipe_reader KEEP KEPT-FILE PROGRAM [ARGUMENT...]\n", stderr);
    return 2;
  }
  const long keep = std::strtol(argv[1], nullptr, 10);
  int ends[2];
  if (pipe(ends) != 0) return 2;
  if (keep == 0) close(ends[0]);

  const pid_t child = fork();
  if (child < 0) return 2;
  if (child == 0) {
    dup2(ends[1], STDOUT_FILENO);
    close(ends[1]);
    if (keep != 0) close(ends[0]);
    // As a shell would start it: a closed pipe kills unless the program
    // itself says otherwise.
    signal(SIGPIPE, SIG_DFL);
    execv(argv[3], argv + 3);
    _exit(127);
  }
  close(ends[1]);

  std::string kept;
  if (keep != 0) {
    char buffer[4096];
    while (static_cast<long>(kept.size()) < keep) {
      const size_t want = std::min(sizeof buffer, static_cast<size_t>(keep) - kept.size());
      const ssize_t got = read(ends[0], buffer, want);
      if (got <= 0) break;
      kept.append(buffer, static_cast<size_t>(got));
    }
    close(ends[0]);
  }
  if (FILE* out = std::fopen(argv[2], "wb")) {
    std::fwrite(kept.data(), 1, kept.size(), out);
    std::fclose(out);
  }

  int status = 0;
  while (waitpid(child, &status, 0) < 0) {
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}
