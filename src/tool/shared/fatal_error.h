// The one way a condition the tool detects itself ends the run.
#pragma once

#include <string_view>

// Shows the message in light red below the banner, an empty line after
// it, and ends the run with exit code 1.
[[noreturn]] void FatalError(std::string_view message);
