// The block kernels behind FindSelected: the portable one, which documents
// the rule and runs everywhere, and the vector kernels of this processor.
// Every kernel gives exactly the positions the per-position test gives.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

#include "tool/run_settings.h"

// Writes, in increasing order, every index below length whose bytes pass
// the selection; returns how many there are.
using BlockKernel = size_t (*)(const uint8_t* const* blocks, int count, size_t length,
                               const Selection& selection, uint32_t* indexes);

struct KernelEntry {
  const char* name;
  BlockKernel find;
};

// The vector kernels this build has and this processor can run, fastest
// last; at most capacity of them. Returns how many.
int ProcessorKernels(KernelEntry* kernels, int capacity);

// The portable kernel.
size_t FindSelectedPortable(const uint8_t* const* blocks, int count, size_t length,
                            const Selection& selection, uint32_t* indexes);

// The positions from..length one by one, appended after found: the tail of
// a block that no whole vector covers.
size_t FindSelectedOneByOne(const uint8_t* const* blocks, int count, size_t from, size_t length,
                            const Selection& selection, uint32_t* indexes, size_t found);

// What a step selection asks of the byte differences of a position, for
// kernels that test all positions of a vector at once.
struct StepRule {
  bool active = false;   // -s given and able to select anything
  bool any = false;      // any constant non-zero step
  int direction = 0;     // for a given step: +1 rising, -1 falling
  uint8_t byte = 0;      // for a given step: the step modulo 256
};

// Equal differences modulo 256 in one direction are equal differences:
// two steps of one sign cannot differ by a multiple of 256.
StepRule StepRuleFor(const Selection& selection);

// True when anything beyond "different" is asked for.
inline bool AnySelection(const Selection& selection) {
  return selection.ascending || selection.descending || selection.step;
}

// Appends at + i for every set bit i of lanes, lowest first.
inline size_t AppendLanes(uint64_t lanes, size_t at, uint32_t* indexes, size_t found) {
  while (lanes != 0) {
    indexes[found++] = static_cast<uint32_t>(at + static_cast<size_t>(std::countr_zero(lanes)));
    lanes &= lanes - 1;
  }
  return found;
}
