#include "runtime/system_calls_posix.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {
// open takes its mode through a variable argument list; this gives it a
// fixed signature that fits the table.
int OpenPath(const char* path, int flags, mode_t mode) { return ::open(path, flags, mode); }
}  // namespace

constexpr SystemCalls kPlatformSystemCalls = {
    OpenPath, ::read, ::write, ::lseek, ::fstat, ::flock, ::ftruncate, ::close, ::isatty,
};

// Constant-initialised, so that it is in place before any other code runs.
constinit SystemCalls systemCalls = kPlatformSystemCalls;
