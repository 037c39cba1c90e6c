// The one way a condition the tool detects itself ends the run.
#pragma once

#include <string_view>

// Shows the message in light red below the banner, an empty line after
// it, and ends the run with exit code 1. In a run without a console, the
// message is a line on standard error instead.
[[noreturn]] void FatalError(std::string_view message);

// From now on messages go to standard error: the run has no console.
void SendMessagesToStandardError();
