// Preloaded into zev by the fault tests (LD_PRELOAD): the one way the
// tests make the program's system calls fail. It fails the real program
// as built and shipped, through the same calls it makes anyway, so the
// program carries no table or hook for tests. It counts the calls of
// open, fstat, flock, lseek, read, write, ftruncate, close and ioctl, and
// makes the n-th call of one of them fail with a chosen error, come back
// short, deliver nothing, or be interrupted.
//
//   ZEV_FAULT_LOG=path   one line per call: "call index handle result",
//                        open giving its path for the handle
//   ZEV_FAULT_PLAN="call n error"   error: an errno; -1 a short count;
//                        -2 a read or write that delivers nothing
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

namespace {

enum Call { kOpen, kFstat, kFlock, kLseek, kRead, kWrite, kFtruncate, kClose, kIoctl, kCalls };
const char* const kNames[kCalls] = {"open", "fstat", "flock", "lseek", "read", "write", "ftruncate", "close", "ioctl"};

unsigned long long counts[kCalls];
int plannedCall = -1, plannedError = 0, logFile = -1;
unsigned long long plannedIndex = 0;
bool ready = false;

// Plans, and opens the log far above the handles the program gets, so
// that their numbers are the same with the log and without.
void Prepare() {
  if (ready) return;
  ready = true;
  if (const char* path = getenv("ZEV_FAULT_LOG")) {
    const long file = syscall(SYS_openat, AT_FDCWD, path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    if (file >= 0) logFile = static_cast<int>(syscall(SYS_fcntl, file, F_DUPFD_CLOEXEC, 900));
    syscall(SYS_close, file);
  }
  char name[16] = {};
  if (const char* plan = getenv("ZEV_FAULT_PLAN"); plan && std::sscanf(plan, "%15s %llu %d", name, &plannedIndex, &plannedError) == 3) {
    for (int call = 0; call < kCalls; ++call)
      if (std::strcmp(name, kNames[call]) == 0) plannedCall = call;
  }
}

// 0: make the call; otherwise the planned error.
int Planned(Call call) {
  Prepare();
  return ++counts[call] == plannedIndex && call == plannedCall ? plannedError : 0;
}

// Writes the call's line to the log, without allocating: a stop's message
// may be written from a signal handler.
template <class Result>
Result Logged(Call call, const char* path, int handle, Result result) {
  if (logFile >= 0) {
    char line[4200];
    const int length = path != nullptr
        ? std::snprintf(line, sizeof line, "%s %llu %s %lld\n", kNames[call], counts[call], path, static_cast<long long>(result))
        : std::snprintf(line, sizeof line, "%s %llu %d %lld\n", kNames[call], counts[call], handle, static_cast<long long>(result));
    syscall(SYS_write, logFile, line, static_cast<size_t>(length));
  }
  return result;
}
template <class Result>
Result Logged(Call call, int handle, Result result) {
  return Logged(call, nullptr, handle, result);
}

template <class Function>
Function Real(const char* name) {
  return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

}  // namespace

extern "C" {

int open(const char* path, int flags, ...) {
  va_list arguments;
  va_start(arguments, flags);
  const mode_t mode = (flags & O_CREAT) != 0 ? static_cast<mode_t>(va_arg(arguments, int)) : 0;
  va_end(arguments);
  if (const int error = Planned(kOpen); error > 0) return errno = error, -1;
  return Logged(kOpen, path, 0, Real<int (*)(const char*, int, ...)>("open")(path, flags, mode));
}

int ioctl(int handle, unsigned long request, ...) {
  va_list arguments;
  va_start(arguments, request);
  void* argument = va_arg(arguments, void*);
  va_end(arguments);
  if (const int error = Planned(kIoctl); error > 0) return errno = error, -1;
  return Logged(kIoctl, handle, Real<int (*)(int, unsigned long, ...)>("ioctl")(handle, request, argument));
}

int fstat(int handle, struct stat* status) {
  if (const int error = Planned(kFstat); error > 0) return errno = error, -1;
  return Logged(kFstat, handle, Real<int (*)(int, struct stat*)>("fstat")(handle, status));
}

int flock(int handle, int operation) {
  if (const int error = Planned(kFlock); error > 0) return errno = error, -1;
  return Logged(kFlock, handle, Real<int (*)(int, int)>("flock")(handle, operation));
}

off_t lseek(int handle, off_t offset, int whence) {
  if (const int error = Planned(kLseek); error > 0) return errno = error, -1;
  return Logged(kLseek, handle, Real<off_t (*)(int, off_t, int)>("lseek")(handle, offset, whence));
}

ssize_t read(int handle, void* buffer, size_t count) {
  const int error = Planned(kRead);
  if (error > 0) return errno = error, -1;
  if (error == -2) return 0;
  if (error == -1 && count > 1) count /= 2;
  return Logged(kRead, handle, Real<ssize_t (*)(int, void*, size_t)>("read")(handle, buffer, count));
}

ssize_t write(int handle, const void* bytes, size_t count) {
  const int error = Planned(kWrite);
  if (error > 0) return errno = error, -1;
  if (error == -2) return 0;
  if (error == -1 && count > 1) count /= 2;
  return Logged(kWrite, handle, Real<ssize_t (*)(int, const void*, size_t)>("write")(handle, bytes, count));
}

int ftruncate(int handle, off_t length) {
  if (const int error = Planned(kFtruncate); error > 0) return errno = error, -1;
  return Logged(kFtruncate, handle, Real<int (*)(int, off_t)>("ftruncate")(handle, length));
}

int close(int handle) {
  const int error = Planned(kClose);
  const int result = Logged(kClose, handle, Real<int (*)(int)>("close")(handle));  // the handle goes either way
  return error > 0 ? (errno = error, -1) : result;
}

}  // extern "C"
