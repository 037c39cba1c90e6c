// The vector kernel for SSE2: 16 positions a vector. This file is compiled
// for SSE2.
#include "tool/selection_vector.h"

namespace {
typedef signed char Bytes16 __attribute__((vector_size(16)));
}  // namespace

size_t FindSelectedSse2(const uint8_t* const* blocks, int count, size_t length, const Selection& selection,
                        uint32_t* indexes) {
  return FindSelectedVector<SignedByteLanes<Bytes16>>(blocks, count, length, selection, indexes);
}
