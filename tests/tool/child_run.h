// Runs a piece of the tool in a child process, since its failures end
// the process.
#pragma once

#include <functional>
#include <string>

namespace tooltest {

// Runs body in a forked child after the run-time start-up and ends it
// through the tool's own shut-down; returns the exit code (128 + signal
// when killed). A non-empty stdoutPath receives the child's standard output.
int RunInChild(const std::function<void()>& body, const std::string& stdoutPath = "");

}  // namespace tooltest
