// Preloaded into zev by the fault tests: it fails the real program, as shipped, in the very calls it makes. It
// counts the calls of open, fstat, flock, lseek, read, write, ftruncate, close and ioctl; ZEV_FAULT_PLAN="call n
// error" makes the n-th call of one fail with an errno, or (-1) come back short or (-2) deliver nothing.
// ZEV_FAULT_LOG=path: a line a call, "call index handle result", the path for an open's handle.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

enum Call { kOpen, kFstat, kFlock, kLseek, kRead, kWrite, kFtruncate, kClose, kIoctl };
const char* const kNames[] = {"open", "fstat", "flock", "lseek", "read", "write", "ftruncate", "close", "ioctl"};
unsigned long long counts[9], plannedIndex = 0;
int plannedCall = -1, plannedError = 0, logFile = -1;

// The call made through the kernel, short when asked, unless it is to fail (a close is made anyway). Logged
// without allocating: a stop may write from a signal handler. The log lies far above the program's handles.
template <class Real>
long Make(Call call, long handle, const char* path, Real real) {
  if (plannedCall == -1) {
    plannedCall = -2;
    char name[16] = {};
    const char* plan = getenv("ZEV_FAULT_PLAN");
    if (plan && std::sscanf(plan, "%15s %llu %d", name, &plannedIndex, &plannedError) == 3) {
      for (int each = 0; each < 9; ++each) plannedCall = std::strcmp(name, kNames[each]) ? plannedCall : each;
    }
    if (const char* log = getenv("ZEV_FAULT_LOG")) {
      const long file = syscall(SYS_openat, AT_FDCWD, log, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
      logFile = static_cast<int>(syscall(SYS_fcntl, file, F_DUPFD_CLOEXEC, 900));
      syscall(SYS_close, file);
    }
  }
  const int error = ++counts[call] == plannedIndex && call == plannedCall ? plannedError : 0;
  if (error == -2) return 0;
  const long result = error > 0 && call != kClose ? -1 : real(error == -1);
  if (logFile >= 0) {
    char line[4200];
    const char* name = kNames[call];
    const int length = path ? std::snprintf(line, sizeof line, "%s %llu %s %ld\n", name, counts[call], path, result)
                            : std::snprintf(line, sizeof line, "%s %llu %ld %ld\n", name, counts[call], handle, result);
    syscall(SYS_write, logFile, line, static_cast<size_t>(length));
  }
  if (error > 0) errno = error;
  return error > 0 ? -1 : result;
}

}  // namespace

extern "C" {

int open(const char* path, int flags, ...) {
  va_list arguments;
  va_start(arguments, flags);
  const mode_t mode = (flags & O_CREAT) != 0 ? static_cast<mode_t>(va_arg(arguments, int)) : 0;
  va_end(arguments);
  return Make(kOpen, 0, path, [&](bool) { return syscall(SYS_openat, AT_FDCWD, path, flags, mode); });
}
int ioctl(int handle, unsigned long request, void* argument) {  // every request the program makes has one argument
  return Make(kIoctl, handle, nullptr, [&](bool) { return syscall(SYS_ioctl, handle, request, argument); });
}
int fstat(int handle, struct stat* status) {
  return Make(kFstat, handle, nullptr, [&](bool) { return syscall(SYS_fstat, handle, status); });
}
int flock(int handle, int operation) {
  return Make(kFlock, handle, nullptr, [&](bool) { return syscall(SYS_flock, handle, operation); });
}
off_t lseek(int handle, off_t at, int whence) {
  return Make(kLseek, handle, nullptr, [&](bool) { return syscall(SYS_lseek, handle, at, whence); });
}
int ftruncate(int handle, off_t length) {
  return Make(kFtruncate, handle, nullptr, [&](bool) { return syscall(SYS_ftruncate, handle, length); });
}
int close(int handle) {
  return Make(kClose, handle, nullptr, [&](bool) { return syscall(SYS_close, handle); });
}
ssize_t read(int handle, void* bytes, size_t count) {
  return Make(kRead, handle, nullptr,
              [&](bool half) { return syscall(SYS_read, handle, bytes, half ? (count + 1) / 2 : count); });
}
ssize_t write(int handle, const void* bytes, size_t count) {
  return Make(kWrite, handle, nullptr,
              [&](bool half) { return syscall(SYS_write, handle, bytes, half ? (count + 1) / 2 : count); });
}

}  // extern "C"
