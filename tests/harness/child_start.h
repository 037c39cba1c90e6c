// Starts the program under test in a session of its own, with its standard
// streams on descriptors the caller has opened.
#pragma once

#include <sys/types.h>

#include <string>

#include "harness/terminal_harness.h"

namespace harness {

struct ChildStreams {
  int terminal = -1;  // slave side to become the controlling terminal, or -1
  int input = -1;
  int output = -1;
  int error = -1;
};

// Returns 0 and the child's pid once the program runs (execve succeeded),
// or an errno value with a description in *error; a child that failed
// before execve has been reaped by then.
int StartChild(const RunOptions& options, const ChildStreams& streams,
               int deadlineMilliseconds, pid_t* pid, std::string* error);

}  // namespace harness
