// The vector kernel for AVX2: 32 bytes a vector. This file is compiled for AVX2.
#include "comparison/kernels/selection_vector.h"
#include "comparison/kernels/x86_byte_bits.h"

size_t FindSelectedAvx2(const uint8_t* const* blocks, int count, size_t length, const Selection& selection,
                        uint32_t* indexes) {
  return FindSelectedAnyWidth<32, X86ByteBits>(blocks, count, length, selection, indexes);
}
