// The program driver: the command line and the fixed sequence of steps
// of a run.
#pragma once

// Runs the whole comparison; returns only after a successful run.
void RunDriver();
