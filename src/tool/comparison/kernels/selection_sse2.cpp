// The vector kernel for SSE2: 16 bytes a vector. This file is compiled for SSE2.
#include <immintrin.h>

#include "comparison/kernels/selection_vector.h"

namespace {

struct Sse2ByteBits {
  template <class Bytes>
  static uint64_t Of(Bytes bytes) {
    return static_cast<uint32_t>(_mm_movemask_epi8(reinterpret_cast<__m128i>(bytes)));
  }
};

}  // namespace

size_t FindSelectedSse2(const uint8_t* const* blocks, int count, size_t length, const Selection& selection,
                        uint32_t* indexes) {
  return FindSelectedAnyWidth<16, Sse2ByteBits>(blocks, count, length, selection, indexes);
}
