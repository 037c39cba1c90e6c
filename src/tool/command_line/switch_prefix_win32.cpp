#include "command_line/switch_prefix.h"

// Windows programs take switches after either mark; a path that begins
// with '/' is a switch here, as the usage screen's users expect.
bool IsSwitchPrefix(char first) { return first == '-' || first == '/'; }

bool AnswersLongOptions() { return false; }
