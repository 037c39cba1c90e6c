// Which first characters make a parameter a switch on this platform.
#pragma once

bool IsSwitchPrefix(char first);

// Whether --help and --version, alone on the command line, are answered
// as scripts and packaging tools expect (on Linux; on Windows "-" opens a
// switch like "/", and "--help" is a switch like any other).
bool AnswersLongOptions();
