// The parameter list: the command line cut into texts once at start-up.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Number of parameters after the program name; -1 for an empty command line.
int32_t ParameterCount();

// Parameter 1..count, entry 0 the program's own path, the empty text otherwise.
std::string_view ParameterText(int32_t index);

// Fills the list from arguments the platform has already split. Entry 0 is
// programPath, not argv[0]; argc == 0 gives the count -1.
void SetParametersFromArguments(std::string programPath, int argc, const char* const* argv);

// Cuts a command line handed over as one string into its tokens, the program
// name included as token 0. An empty line gives no tokens (count -1).
std::vector<std::string> SplitCommandLine(std::string_view commandLine);

// Fills the list from a whole command line (the way Windows hands it over).
void SetParametersFromCommandLine(std::string programPath, std::string_view commandLine);
