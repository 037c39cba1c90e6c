// The process services the run-time layer needs from the platform: the
// command line, the standard streams and the final exit.
#pragma once

#include <cstddef>

// Makes sure the three standard streams are open (a closed one is put on
// the null device, so that no file the tool opens can take its place) and
// that standard output and standard error hand their text over at once.
// A write to a closed pipe becomes an ordinary write failure.
void PrepareStandardStreams();

// Fills the parameter list from the command line in the form the platform
// hands it over: arguments already split (argc, argv), or one string that
// is cut into parameters here. Entry 0 is the program's own path.
void LoadParameters(int argc, char** argv);

// The two streams the tool writes besides its report: standard output
// carries the stop message and the answers to --help and --version;
// standard error the messages of a run that has no console.
enum class StandardStream { kOutput, kError };

// Writes all bytes to the stream, bypassing every buffer. Safe in a fault
// handler. False when the bytes could not all be written.
bool WriteStandardStream(StandardStream stream, const char* bytes, size_t count);

// Ends the process at once with the exit code; nothing is flushed.
[[noreturn]] void EndProcess(int exitCode);
