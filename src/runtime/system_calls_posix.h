// The system calls behind the file operations, reached through a table so
// that tests can make them fail, deliver short counts or be interrupted.
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <cstddef>

struct SystemCalls {
  int (*open)(const char* path, int flags, mode_t mode);
  ssize_t (*read)(int handle, void* buffer, size_t count);
  ssize_t (*write)(int handle, const void* bytes, size_t count);
  off_t (*lseek)(int handle, off_t offset, int whence);
  int (*fstat)(int handle, struct stat* status);
  int (*flock)(int handle, int operation);
  int (*ftruncate)(int handle, off_t length);
  int (*close)(int handle);
  int (*isatty)(int handle);
};

// The platform's own calls.
extern const SystemCalls kPlatformSystemCalls;

// The table in use; kPlatformSystemCalls unless a test replaced entries.
extern SystemCalls systemCalls;
