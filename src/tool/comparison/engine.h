// The comparison engine: opens the inputs, positions them at the start
// offset and compares them block by block in lock-step. Reads the run
// settings; every failure ends the run.
#pragma once

#include <cstdint>

// Opens inputs 1..N in order and takes the shortest length.
void OpenInputs();

// Checks the start offset against the shortest length, positions the
// inputs there and divides the rest into blocks.
void StartAtOffset();

// The largest position a report of this run can show: shortest length - 1.
int64_t LargestComparedPosition();

// Compares every position from the start offset to the shortest length and
// hands each selected one, in increasing order, to WriteDifferenceLine.
void CompareBlocks();

// Closes inputs 1..N in order.
void CloseInputs();
