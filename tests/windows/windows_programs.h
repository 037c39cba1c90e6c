// The Windows build under test: the suite runs once for each build, which
// ZEV_WINDOWS_BUILD names (with ZEV_ADDR2LINE, the addr2line of its
// processor).
#pragma once

#include <string>

// A program of that build, by its path inside the build directory.
std::string WindowsProgram(const std::string& relative);
