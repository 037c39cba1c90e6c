#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <string>
#include <utility>

#include "runtime/interrupted_posix.h"
#include "runtime/parameters.h"
#include "runtime/process.h"
#include "runtime/write_all.h"

void PrepareStandardStreams() {
  // A stream that was closed when the program started would otherwise be
  // handed out again by the next open: an input or the report would become
  // "standard output" and receive the stop message.
  for (int stream = 0; stream <= 2; ++stream) {
    if (fcntl(stream, F_GETFD) != -1 || errno != EBADF) continue;
    const int placeholder = RepeatInterrupted([] { return open("/dev/null", O_RDWR); });
    if (placeholder >= 0 && placeholder != stream) {
      dup2(placeholder, stream);
      close(placeholder);
    }
  }
  // A closed pipe must be a write failure the tool reports, not a silent end.
  signal(SIGPIPE, SIG_IGN);
}

namespace {

std::string ProgramPath() {
  char path[4096];
  ssize_t length = readlink("/proc/self/exe", path, sizeof path);
  if (length <= 0 || static_cast<size_t>(length) >= sizeof path) return {};
  return std::string(path, static_cast<size_t>(length));
}

}  // namespace

void LoadParameters(int argc, char** argv) {
  // Linux hands the arguments over already split; they are taken as they
  // are, and only entry 0 comes from the platform rather than argv[0].
  std::string path = ProgramPath();
  if (path.empty() && argc > 0 && argv[0] != nullptr) path = argv[0];
  SetParametersFromArguments(std::move(path), argc, argv);
}

bool WriteStandardStream(StandardStream stream, const char* bytes, size_t count) {
  return WriteAll(stream == StandardStream::kError ? STDERR_FILENO : STDOUT_FILENO, bytes, count);
}

void EndProcess(int exitCode) { _exit(exitCode); }
