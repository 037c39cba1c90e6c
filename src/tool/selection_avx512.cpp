// The vector kernel for AVX-512BW: 64 positions a vector. Its compares
// give bit masks and order unsigned bytes themselves, so nothing is
// flipped. This file is compiled for AVX-512F and AVX-512BW.
#include <immintrin.h>

#include "tool/selection_vector.h"

namespace {

struct Avx512 {
  using Vector = __m512i;
  using Lanes = __mmask64;
  static constexpr size_t kLanes = 64;

  static Vector Load(const uint8_t* at) { return _mm512_loadu_si512(at); }
  static Vector LoadOrdered(const uint8_t* at) { return Load(at); }
  static Lanes Greater(Vector a, Vector b) { return _mm512_cmpgt_epu8_mask(a, b); }
  static Lanes Equal(Vector a, Vector b) { return _mm512_cmpeq_epi8_mask(a, b); }
  static Vector Minus(Vector a, Vector b) { return _mm512_sub_epi8(a, b); }
  static Vector Splat(uint8_t byte) { return _mm512_set1_epi8(static_cast<char>(byte)); }
  static Vector Or(Vector a, Vector b) { return _mm512_or_si512(a, b); }
  static Vector Xor(Vector a, Vector b) { return _mm512_xor_si512(a, b); }
  static Lanes All() { return ~Lanes{0}; }
  static Lanes None() { return 0; }
  static Lanes Both(Lanes a, Lanes b) { return a & b; }
  static Lanes Either(Lanes a, Lanes b) { return a | b; }
  static bool IsEmpty(Lanes lanes) { return lanes == 0; }
  static uint64_t Bits(Lanes lanes) { return lanes; }
  static uint64_t NonZeroBits(Vector v) { return _mm512_test_epi8_mask(v, v); }
  static bool IsZero(Vector v) { return NonZeroBits(v) == 0; }
};

}  // namespace

size_t FindSelectedAvx512(const uint8_t* const* blocks, int count, size_t length, const Selection& selection,
                          uint32_t* indexes) {
  return FindSelectedVector<Avx512>(blocks, count, length, selection, indexes);
}
