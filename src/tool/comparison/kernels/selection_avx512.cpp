// The vector kernel for AVX-512BW: 64 bytes a vector. This file is compiled for AVX-512F and AVX-512BW.
#include "comparison/kernels/selection_vector.h"
#include "comparison/kernels/x86_byte_bits.h"

size_t FindSelectedAvx512(const uint8_t* const* blocks, int count, size_t length, const Selection& selection,
                          uint32_t* indexes) {
  return FindSelectedAnyWidth<64, X86ByteBits>(blocks, count, length, selection, indexes);
}
