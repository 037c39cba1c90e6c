#include "child_run.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

#include "runtime/run_time.h"

namespace tooltest {

int RunInChild(const std::function<void()>& body, const std::string& stdoutPath) {
  std::fflush(nullptr);
  pid_t child = fork();
  if (child < 0) return -1;
  if (child == 0) {
    if (!stdoutPath.empty()) {
      int fd = open(stdoutPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      if (fd < 0 || dup2(fd, 1) < 0) _exit(250);
      close(fd);
    }
    char name[] = "tool_tests";
    char* argv[] = {name, nullptr};
    StartRunTime(1, argv);
    body();
    EndProgram(0);
  }
  int status = 0;
  while (waitpid(child, &status, 0) < 0) {
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace tooltest
