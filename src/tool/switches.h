// The command-line switches.
#pragma once

#include <string_view>

#include "tool/run_settings.h"

// Applies one switch (a parameter that begins with a switch prefix) to the
// settings. Returns false, changing nothing, when the switch is unknown.
bool ApplySwitch(std::string_view parameter, RunSettings& settings);

// Applies a switch to the run settings; an unknown one ends the run.
void ParseSwitch(std::string_view parameter);
