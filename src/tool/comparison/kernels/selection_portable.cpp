// The portable kernel: the one body over the compiler's generic vectors of
// 16 bytes, which any target turns into what it has, its lanes turned into
// bits a byte at a time. Compiled for the target's baseline.
#include "comparison/kernels/selection_vector.h"

size_t FindSelectedPortable(const uint8_t* const* blocks, int count, size_t length, const Selection& selection,
                            uint32_t* indexes) {
  return FindSelectedAnyWidth<16, PortableByteBits>(blocks, count, length, selection, indexes);
}
