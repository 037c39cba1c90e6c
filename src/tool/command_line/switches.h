// The command-line switches.
#pragma once

#include <string>
#include <string_view>

#include "shared/run_settings.h"

// Applies one switch (a parameter that begins with a switch prefix) to the
// run settings; an unknown one ends the run, having changed nothing.
void ParseSwitch(std::string_view parameter);

// Reads the known values of -v: into the selection, once the width and
// the count of files are known: one value a file, each an integer text
// that fits the width as unsigned or as signed (taken in two's
// complement), or with -r a real number; each may be a range lo..hi.
// Returns the message that refuses the run, or nothing.
std::string ReadKnownValues(RunSettings& settings);

// Refuses real values (-r) of a width other than 4 or 8 bytes, or with a
// step: returns the message, or nothing.
std::string CheckRealValues(const RunSettings& settings);

// Reads the pattern of -p: into the selection, once the count of files is
// known: one character a step from a file to the next, '+' rising, '-'
// falling, '=' staying, '!' changing, '*' anything. Returns the message
// that refuses the run, or nothing.
std::string ReadPattern(RunSettings& settings);
