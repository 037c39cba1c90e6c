// The vector kernel for AVX-512BW: 64 bytes a vector. This file is compiled for AVX-512F and AVX-512BW.
#include <immintrin.h>

#include "comparison/kernels/selection_vector.h"

namespace {

struct Avx512ByteBits {
  template <class Bytes>
  static uint64_t Of(Bytes bytes) {
    return _mm512_movepi8_mask(reinterpret_cast<__m512i>(bytes));
  }
};

}  // namespace

size_t FindSelectedAvx512(const uint8_t* const* blocks, int count, size_t length, const Selection& selection,
                          uint32_t* indexes) {
  return FindSelectedAnyWidth<64, Avx512ByteBits>(blocks, count, length, selection, indexes);
}
