// System calls that an interruption by a signal must not turn into
// failures: they are repeated here and nowhere else (writes in WriteAll).
#pragma once

#include <sys/types.h>

#include <cerrno>
#include <cstddef>

// Repeats call() for as long as it fails with EINTR; returns its result.
template <class Call>
auto RepeatInterrupted(Call call) {
  for (;;) {
    auto result = call();
    if (result >= 0 || errno != EINTR) return result;
  }
}
