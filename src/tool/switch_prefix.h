// Which first characters make a parameter a switch on this platform.
#pragma once

bool IsSwitchPrefix(char first);
