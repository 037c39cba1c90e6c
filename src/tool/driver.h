// The program driver: the run settings, the command line and the fixed
// sequence of steps of a run.
#pragma once

#include <string_view>

// Runs the whole comparison; returns only after a successful run.
void RunDriver();

// Shows a message of the tool's own in light red and ends the run.
[[noreturn]] void FatalError(std::string_view message);
