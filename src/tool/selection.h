// Which byte positions of a block are reported. The work is done over a
// whole block at a time: first the positions where the inputs differ,
// then the ascending, descending and step tests on those positions only.
#pragma once

#include <cstddef>
#include <cstdint>

#include "tool/run_settings.h"

// The test for one position: bytes[0..count) hold the byte of every input.
// A position where all bytes agree is never selected; without ascending,
// descending or step every other position is.
bool IsSelected(const uint8_t* bytes, int count, const Selection& selection);

// Writes to indexes, in increasing order, every index below length at
// which some block differs from blocks[0]; returns how many there are.
// indexes must have room for length entries.
size_t FindDifferences(const uint8_t* const* blocks, int count, size_t length,
                       uint32_t* indexes);

// Keeps, in order, the found indexes whose bytes pass the selection;
// returns how many remain.
size_t KeepSelected(const uint8_t* const* blocks, int count,
                    const Selection& selection, uint32_t* indexes,
                    size_t found);

// FindDifferences followed by KeepSelected.
size_t FindSelected(const uint8_t* const* blocks, int count, size_t length,
                    const Selection& selection, uint32_t* indexes);
