// The fixed screens: the banner every run starts with, and the usage
// screen shown when the command line is empty.
#pragma once

// Clears the screen, opens the window with its one-character margin and
// prints the light-green banner; leaves the attribute at light green.
void ShowBanner();

// Prints the synopsis, the switches and the note below the banner; leaves
// the attribute at light grey.
void ShowUsage();
