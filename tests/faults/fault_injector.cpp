// Preloaded into zev by the fault tests (LD_PRELOAD), never part of it:
// counts the program's calls of open, fstat, flock, lseek, read, write,
// ftruncate and close, and makes the n-th call of one of them fail with a
// chosen error, come back short, or be interrupted.
//
//   ZEV_FAULT_TALLY=path   a file of 8 counters, one per call, kept up to date
//   ZEV_FAULT_PLAN="call n error"   error: an errno, or -1 for a short count
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

enum Call { kOpen, kFstat, kFlock, kLseek, kRead, kWrite, kFtruncate, kClose, kCalls };
const char* const kNames[kCalls] = {"open", "fstat", "flock", "lseek", "read", "write", "ftruncate", "close"};

uint64_t ownTally[kCalls];
uint64_t* tally = ownTally;
int plannedCall = -1;
uint64_t plannedIndex = 0;
int plannedError = 0;
bool ready = false;

void Prepare() {
  if (ready) return;
  ready = true;
  if (const char* path = getenv("ZEV_FAULT_TALLY")) {
    const int file = static_cast<int>(syscall(SYS_openat, AT_FDCWD, path, O_RDWR | O_CREAT | O_CLOEXEC, 0600));
    if (file >= 0 && syscall(SYS_ftruncate, file, sizeof ownTally) == 0) {
      void* shared = mmap(nullptr, sizeof ownTally, PROT_READ | PROT_WRITE, MAP_SHARED, file, 0);
      if (shared != MAP_FAILED) tally = static_cast<uint64_t*>(shared);
    }
    if (file >= 0) syscall(SYS_close, file);
  }
  if (const char* plan = getenv("ZEV_FAULT_PLAN")) {
    char name[16] = {};
    unsigned long long index = 0;
    if (std::sscanf(plan, "%15s %llu %d", name, &index, &plannedError) == 3) {
      for (int call = 0; call < kCalls; ++call)
        if (std::strcmp(name, kNames[call]) == 0) plannedCall = call;
      plannedIndex = index;
    }
  }
}

// 0: make the call; otherwise the planned error (-1: a short count).
int Planned(Call call) {
  Prepare();
  const uint64_t index = ++tally[call];
  return call == plannedCall && index == plannedIndex ? plannedError : 0;
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
  return Real<int (*)(const char*, int, ...)>("open")(path, flags, mode);
}

int fstat(int handle, struct stat* status) {
  if (const int error = Planned(kFstat); error > 0) return errno = error, -1;
  return Real<int (*)(int, struct stat*)>("fstat")(handle, status);
}

int flock(int handle, int operation) {
  if (const int error = Planned(kFlock); error > 0) return errno = error, -1;
  return Real<int (*)(int, int)>("flock")(handle, operation);
}

off_t lseek(int handle, off_t offset, int whence) {
  if (const int error = Planned(kLseek); error > 0) return errno = error, -1;
  return Real<off_t (*)(int, off_t, int)>("lseek")(handle, offset, whence);
}

ssize_t read(int handle, void* buffer, size_t count) {
  const int error = Planned(kRead);
  if (error > 0) return errno = error, -1;
  if (error < 0 && count > 1) count /= 2;
  return Real<ssize_t (*)(int, void*, size_t)>("read")(handle, buffer, count);
}

ssize_t write(int handle, const void* bytes, size_t count) {
  const int error = Planned(kWrite);
  if (error > 0) return errno = error, -1;
  if (error < 0 && count > 1) count /= 2;
  return Real<ssize_t (*)(int, const void*, size_t)>("write")(handle, bytes, count);
}

int ftruncate(int handle, off_t length) {
  if (const int error = Planned(kFtruncate); error > 0) return errno = error, -1;
  return Real<int (*)(int, off_t)>("ftruncate")(handle, length);
}

int close(int handle) {
  if (const int error = Planned(kClose); error > 0) {
    Real<int (*)(int)>("close")(handle);  // the handle is gone all the same
    return errno = error, -1;
  }
  return Real<int (*)(int)>("close")(handle);
}

}  // extern "C"
