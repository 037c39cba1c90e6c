// Which byte positions of a block are reported. The work is done over a
// whole block at a time by a block kernel: a portable one, and vector
// kernels for the processors that have them, chosen on first use.
#pragma once

#include <cstddef>
#include <cstdint>

#include "shared/run_settings.h"
#include "shared/values.h"

// The test for one position: values[0..count) hold the value of every
// input. A position where all values agree is never selected; without
// ascending, descending, step or known values every other position is.
bool IsSelectedValues(const uint64_t* values, int count, const Selection& selection);

// The same for bytes, the values of width 1.
bool IsSelected(const uint8_t* bytes, int count, const Selection& selection);

// Writes to indexes, in increasing order, the index of every value (every
// width-th byte) below length whose values pass the test above; returns
// how many there are. indexes must have room for length entries.
size_t FindSelected(const uint8_t* const* blocks, int count, size_t length, const Selection& selection,
                    uint32_t* indexes);

// The kernels this processor can run, the portable one (0) first and the
// fastest last, and a way for tests and benchmarks to pick one.
int SelectionKernelCount();
const char* SelectionKernelName(int kernel);
void UseSelectionKernel(int kernel);
