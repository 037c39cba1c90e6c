// The run-time error stop message, formatted without allocation so that it
// can be written from a fault handler.
#pragma once

#include <cstddef>
#include <cstdint>

#include "runtime/process.h"

// Longest line produced below, CR LF included.
constexpr size_t kStopLineCapacity = 64;

// "Runtime error N at 0xPPPPPPPP" CR LF; returns the length.
size_t FormatStopHeadLine(char* line, uint16_t number, uint64_t place);

// "  0xPPPPPPPP" CR LF; returns the length.
size_t FormatStopPlaceLine(char* line, uint64_t place);

// Writes the whole message to the stream: the head line, the place again,
// one line per call level, an empty line. A line that cannot be written
// ends the message there.
void WriteStopMessage(StandardStream stream, uint16_t number, uint64_t place, const uint64_t* levels, int levelCount);
