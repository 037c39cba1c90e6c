// The program driver: the command line and the fixed sequence of steps
// of a run.
#pragma once

// --version alone on the command line: the version on standard output, a
// line that scripts read, and the end of the run, before the console is
// reached (so it needs none). Returns for every other command line.
void AnswerVersionQuery();

// Runs the whole comparison; returns only after a successful run.
void RunDriver();
