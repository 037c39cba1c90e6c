#include <poll.h>
#include <unistd.h>

#include <cerrno>

#include "runtime/interrupted_posix.h"
#include "runtime/write_all.h"

bool WriteAll(intptr_t handle, const void* bytes, size_t count) {
  const int descriptor = static_cast<int>(handle);
  const auto* next = static_cast<const uint8_t*>(bytes);
  while (count > 0) {
    const ssize_t written = write(descriptor, next, count);
    if (written > 0) {
      next += written;
      count -= static_cast<size_t>(written);
      continue;
    }
    if (written < 0 && errno == EINTR) continue;
    if (written < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      // A parent left the destination non-blocking: it is only full.
      pollfd ready{descriptor, POLLOUT, 0};
      if (RepeatInterrupted([&] { return poll(&ready, 1, -1); }) >= 0) continue;
      return false;
    }
    if (written == 0) errno = EIO;
    return false;
  }
  return true;
}
