// Start-up, the run-time error stop and the single shut-down path.
#pragma once

#include <cstdint>
#include <string_view>

#include "runtime/process.h"

// Start-up in its fixed order: fault handler, standard streams, parameter
// list, pending error cleared. The console window starts after this.
void StartRunTime(int argc, char** argv);

// Ends with the numbered stop message on standard output (standard error
// after SendStopsToStandardError); exit code = number.
[[noreturn]] void RunTimeErrorStop(uint16_t number, const void* place);

// Writes the text to the stream; a write that fails is a run-time error
// stop (101), so that no caller takes a lost message for one delivered.
void WriteMessage(StandardStream stream, std::string_view text);

// Ends the run with the given exit code through the shut-down sequence.
[[noreturn]] void EndProgram(int exitCode);

// A routine run on every ending before the stop message, so that a stream
// holding unwritten text can hand it over. It must not allocate and must
// not fail loudly: a failure is skipped without a word. It runs once, also
// after a processor fault (then inside the fault handler, so it should only
// write); a stop or fault inside it ends it and the first stop is reported.
// The pending error is cleared before it runs, so that its writes are made.
using HandOverRoutine = void (*)();
void SetHandOverAtEnd(HandOverRoutine routine);

// For a run without a console, whose standard output may carry its
// report: a stop message goes to standard error from now on, and standard
// error is kept off the inputs as standard output is. Called before any
// input is opened.
void SendStopsToStandardError();
