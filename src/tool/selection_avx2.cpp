// The vector kernel for AVX2: 32 positions a vector. This file is compiled
// for AVX2.
#include "tool/selection_vector.h"

namespace {
typedef signed char Bytes32 __attribute__((vector_size(32)));
}  // namespace

size_t FindSelectedAvx2(const uint8_t* const* blocks, int count, size_t length, const Selection& selection,
                        uint32_t* indexes) {
  return FindSelectedVector<SignedByteLanes<Bytes32>>(blocks, count, length, selection, indexes);
}
