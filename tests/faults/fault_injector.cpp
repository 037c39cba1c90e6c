// Preloaded into zev by the fault tests: it fails the real program, as shipped, in the very calls it makes. It
// counts the calls of open, fstat, flock, lseek, read, write, ftruncate, close and ioctl; ZEV_FAULT_PLAN="call n
// error" makes the n-th call of one fail with an errno, or (-1) come back short or (-2) deliver nothing.
// ZEV_FAULT_LOG=path: a line a call, "call index handle result", the path for an open's handle.
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace {

enum Call { kOpen, kFstat, kFlock, kLseek, kRead, kWrite, kFtruncate, kClose, kIoctl };
const char* const kNames[] = {"open", "fstat", "flock", "lseek", "read", "write", "ftruncate", "close", "ioctl"};
unsigned long long counts[9], plannedIndex = 0;
int plannedCall = -1, plannedError = 0, logFile = -1;

// The log lies far above the program's handles, to leave their numbers alone.
int Planned(Call call) {
  if (plannedCall == -1) {
    plannedCall = -2;
    char name[16] = {};
    const char* plan = getenv("ZEV_FAULT_PLAN");
    if (plan && std::sscanf(plan, "%15s %llu %d", name, &plannedIndex, &plannedError) == 3) {
      for (int each = 0; each < 9; ++each) plannedCall = std::strcmp(name, kNames[each]) ? plannedCall : each;
    }
    if (const char* path = getenv("ZEV_FAULT_LOG")) {
      const long file = syscall(SYS_openat, AT_FDCWD, path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
      logFile = static_cast<int>(syscall(SYS_fcntl, file, F_DUPFD_CLOEXEC, 900));
      syscall(SYS_close, file);
    }
  }
  return ++counts[call] == plannedIndex && call == plannedCall ? plannedError : 0;
}

// The real call unless it is to fail (a close is made anyway), logged without allocating: a stop may write from a
// signal handler.
template <class Function, class... Arguments>
auto Pass(Call call, int error, const char* path, int handle, Arguments... arguments) {
  using Result = decltype(std::declval<Function>()(arguments...));
  if (error > 0 && call != kClose) return errno = error, Result(-1);
  const Result result = reinterpret_cast<Function>(dlsym(RTLD_NEXT, kNames[call]))(arguments...);
  if (logFile >= 0) {
    char line[4200];
    const auto index = counts[call];
    const auto shown = static_cast<long long>(result);
    const int length = path ? std::snprintf(line, sizeof line, "%s %llu %s %lld\n", kNames[call], index, path, shown)
                            : std::snprintf(line, sizeof line, "%s %llu %d %lld\n", kNames[call], index, handle, shown);
    syscall(SYS_write, logFile, line, static_cast<size_t>(length));
  }
  return error > 0 ? (errno = error, Result(-1)) : result;
}

template <class Function, class... Arguments>
auto Plain(Call call, int handle, Arguments... arguments) {
  return Pass<Function>(call, Planned(call), nullptr, handle, handle, arguments...);
}

// A read or write asked for half, or delivering nothing.
template <class Function, class Bytes>
ssize_t Transfer(Call call, int handle, Bytes bytes, size_t count) {
  const int error = Planned(call);
  if (error == -2) return 0;
  return Pass<Function>(call, error, nullptr, handle, handle, bytes, error == -1 && count > 1 ? count / 2 : count);
}

}  // namespace

extern "C" {

int open(const char* path, int flags, ...) {
  va_list arguments;
  va_start(arguments, flags);
  const mode_t mode = (flags & O_CREAT) != 0 ? static_cast<mode_t>(va_arg(arguments, int)) : 0;
  va_end(arguments);
  return Pass<int (*)(const char*, int, ...)>(kOpen, Planned(kOpen), path, 0, path, flags, mode);
}
int ioctl(int handle, unsigned long request, void* argument) {  // every request the program makes has one argument
  return Plain<int (*)(int, unsigned long, void*)>(kIoctl, handle, request, argument);
}
int fstat(int handle, struct stat* status) { return Plain<int (*)(int, struct stat*)>(kFstat, handle, status); }
int flock(int handle, int operation) { return Plain<int (*)(int, int)>(kFlock, handle, operation); }
off_t lseek(int handle, off_t at, int whence) { return Plain<off_t (*)(int, off_t, int)>(kLseek, handle, at, whence); }
int ftruncate(int handle, off_t length) { return Plain<int (*)(int, off_t)>(kFtruncate, handle, length); }
int close(int handle) { return Plain<int (*)(int)>(kClose, handle); }
ssize_t read(int handle, void* buffer, size_t count) {
  return Transfer<ssize_t (*)(int, void*, size_t)>(kRead, handle, buffer, count);
}
ssize_t write(int handle, const void* bytes, size_t count) {
  return Transfer<ssize_t (*)(int, const void*, size_t)>(kWrite, handle, bytes, count);
}

}  // extern "C"
