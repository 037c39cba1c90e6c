// The program driver: the command line and the fixed sequence of steps
// of a run.
#pragma once

// --version or --help alone on the command line (where long options are
// answered): the version line or the help text on standard output, and the
// end of the run, before the console is reached (so it needs none).
// Returns for every other command line.
void AnswerLongOptions();

// Reaches the console (unless the report is for other programs) and runs
// the whole comparison; returns only after a successful run.
void RunDriver();
