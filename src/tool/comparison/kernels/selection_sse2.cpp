// The vector kernel for SSE2: 16 bytes a vector. This file is compiled for SSE2.
#include "comparison/kernels/selection_vector.h"
#include "comparison/kernels/x86_byte_bits.h"

size_t FindSelectedSse2(const uint8_t* const* blocks, int count, size_t length, const Selection& selection,
                        uint32_t* indexes) {
  return FindSelectedAnyWidth<16, X86ByteBits>(blocks, count, length, selection, indexes);
}
