// The block kernels behind FindSelected: the portable one, which documents
// the rule and runs everywhere, and the vector kernels of this processor.
// Every kernel gives exactly the positions the per-position test gives.
#pragma once

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
// kernels that test all positions of a vector at once. Differences are
// taken modulo 256 there, which is exact for steps in one direction: two
// differences of one sign, each -255 to 255, cannot differ by 256.
struct StepRule {
  bool active = false;   // -s given and able to select anything
  bool any = false;      // any constant non-zero step
  int direction = 0;     // for a given step: +1 rising, -1 falling
  uint8_t byte = 0;      // for a given step: the step modulo 256
};

StepRule StepRuleFor(const Selection& selection);

// True when anything beyond "different" is asked for.
bool AnySelection(const Selection& selection);

// True when a selection is asked for that no position can pass (only a
// step of 0 or one beyond 255): a kernel then has nothing to look at.
bool SelectsNothing(const Selection& selection, const StepRule& step);

// The vector kernels of x86 processors, each compiled for its own
// instruction set in a file of its own; ProcessorKernels offers those
// the processor can run.
size_t FindSelectedSse2(const uint8_t* const* blocks, int count, size_t length,
                        const Selection& selection, uint32_t* indexes);
size_t FindSelectedAvx2(const uint8_t* const* blocks, int count, size_t length,
                        const Selection& selection, uint32_t* indexes);
size_t FindSelectedAvx512(const uint8_t* const* blocks, int count, size_t length,
                          const Selection& selection, uint32_t* indexes);
