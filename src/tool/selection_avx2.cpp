// The vector kernel for AVX2: 32 positions a vector, signed compares as
// with SSE2. This file is compiled for AVX2.
#include <immintrin.h>

#include "tool/selection_vector.h"

namespace {

struct Avx2 {
  using Vector = __m256i;
  using Lanes = __m256i;  // all-ones lanes
  static constexpr size_t kLanes = 32;

  static Vector Load(const uint8_t* at) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at)); }
  static Vector LoadOrdered(const uint8_t* at) { return _mm256_xor_si256(Load(at), _mm256_set1_epi8(-128)); }
  static Lanes Greater(Vector a, Vector b) { return _mm256_cmpgt_epi8(a, b); }
  static Lanes Equal(Vector a, Vector b) { return _mm256_cmpeq_epi8(a, b); }
  static Vector Minus(Vector a, Vector b) { return _mm256_sub_epi8(a, b); }
  static Vector Splat(uint8_t byte) { return _mm256_set1_epi8(static_cast<char>(byte)); }
  static Vector Or(Vector a, Vector b) { return _mm256_or_si256(a, b); }
  static Vector Xor(Vector a, Vector b) { return _mm256_xor_si256(a, b); }
  static Lanes All() { return _mm256_set1_epi8(-1); }
  static Lanes None() { return _mm256_setzero_si256(); }
  static Lanes Both(Lanes a, Lanes b) { return _mm256_and_si256(a, b); }
  static Lanes Either(Lanes a, Lanes b) { return _mm256_or_si256(a, b); }
  static bool IsEmpty(Lanes lanes) { return _mm256_testz_si256(lanes, lanes); }
  static uint64_t Bits(Lanes lanes) { return static_cast<uint32_t>(_mm256_movemask_epi8(lanes)); }
  static bool IsZero(Vector v) { return _mm256_testz_si256(v, v); }
  static uint64_t NonZeroBits(Vector v) {
    return ~static_cast<uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(v, _mm256_setzero_si256())));
  }
};

}  // namespace

size_t FindSelectedAvx2(const uint8_t* const* blocks, int count, size_t length, const Selection& selection,
                        uint32_t* indexes) {
  return FindSelectedVector<Avx2>(blocks, count, length, selection, indexes);
}
