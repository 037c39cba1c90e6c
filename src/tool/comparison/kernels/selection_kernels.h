// The block kernels behind FindSelected: the portable one, which documents
// the rule and runs everywhere, and the vector kernels of this processor.
// Every kernel gives exactly the positions the per-position test gives.
#pragma once

#include <cstddef>
#include <cstdint>

#include "shared/run_settings.h"

// Writes, in increasing order, every index below length whose bytes pass
// the selection; returns how many there are.
using BlockKernel = size_t (*)(const uint8_t* const* blocks, int count, size_t length, const Selection& selection,
                               uint32_t* indexes);

struct KernelEntry {
  const char* name;
  BlockKernel find;
};

// The vector kernels this build has and this processor can run, fastest
// last; at most capacity of them. Returns how many.
int ProcessorKernels(KernelEntry* kernels, int capacity);

// The portable kernel.
size_t FindSelectedPortable(const uint8_t* const* blocks, int count, size_t length, const Selection& selection,
                            uint32_t* indexes);

// The values from..length one by one, appended after found: the tail of
// a block that no whole vector covers.
size_t FindSelectedOneByOne(const uint8_t* const* blocks, int count, size_t from, size_t length,
                            const Selection& selection, uint32_t* indexes, size_t found);

// What a selection asks of a position beyond rising and falling, for
// kernels that test all positions of a vector at once. Differences of
// values of n bits are taken modulo 2^n there, which is exact for steps in
// one direction: two differences of one sign, each of fewer than n bits,
// cannot differ by 2^n.
struct KernelRule {
  bool byChange = false;    // -a, -d, -s or -p given: one of them must pass
  bool step = false;        // -s given and able to select anything
  bool anyStep = false;     // any constant non-zero step
  int direction = 0;        // for a given step: +1 rising, -1 falling
  uint64_t stepModulo = 0;  // for a given step: the step modulo 2^n
};

KernelRule KernelRuleFor(const Selection& selection);

// True when anything beyond "different" is asked for.
bool AnySelection(const Selection& selection);

// True when the changes asked for are ones no position can make (a step
// of 0 or beyond the largest value, and nothing else): a kernel then has
// nothing to look at.
bool SelectsNothing(const Selection& selection, const KernelRule& rule);

// The vector kernels of x86 processors, each compiled for its own
// instruction set in a file of its own; ProcessorKernels offers those
// the processor can run.
size_t FindSelectedSse2(const uint8_t* const* blocks, int count, size_t length, const Selection& selection,
                        uint32_t* indexes);
size_t FindSelectedAvx2(const uint8_t* const* blocks, int count, size_t length, const Selection& selection,
                        uint32_t* indexes);
size_t FindSelectedAvx512(const uint8_t* const* blocks, int count, size_t length, const Selection& selection,
                          uint32_t* indexes);
