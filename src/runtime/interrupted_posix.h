// System calls that an interruption by a signal, or a non-blocking
// destination that is full for a moment, must not turn into failures:
// they are repeated, or waited for, here and nowhere else.
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

// Writes all count bytes: short counts continue, interrupted
// calls are repeated, and a destination that answers "try again" is waited
// for until it takes more. False on any other failure, or a write that
// takes nothing; errno then says why.
bool WriteAll(int handle, const void* bytes, size_t count);
