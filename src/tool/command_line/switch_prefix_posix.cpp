#include "command_line/switch_prefix.h"

// Every absolute path here begins with '/', so only '-' can open a switch.
bool IsSwitchPrefix(char first) { return first == '-'; }

bool AnswersLongOptions() { return true; }
