// The vector kernel for AVX2: 32 bytes a vector. This file is compiled for AVX2.
#include <immintrin.h>

#include "comparison/kernels/selection_vector.h"

namespace {

struct Avx2ByteBits {
  template <class Bytes>
  static uint64_t Of(Bytes bytes) {
    return static_cast<uint32_t>(_mm256_movemask_epi8(reinterpret_cast<__m256i>(bytes)));
  }
};

}  // namespace

size_t FindSelectedAvx2(const uint8_t* const* blocks, int count, size_t length, const Selection& selection,
                        uint32_t* indexes) {
  return FindSelectedAnyWidth<32, Avx2ByteBits>(blocks, count, length, selection, indexes);
}
