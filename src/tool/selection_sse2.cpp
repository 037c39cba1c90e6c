// The vector kernel for SSE2: 16 positions a vector. SSE2 compares signed
// bytes only, so the bytes are loaded with their top bits flipped, which
// orders them as unsigned bytes. This file is compiled for SSE2.
#include <immintrin.h>

#include "tool/selection_vector.h"

namespace {

struct Sse2 {
  using Vector = __m128i;
  using Lanes = __m128i;  // all-ones lanes
  static constexpr size_t kLanes = 16;

  static Vector Load(const uint8_t* at) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at)); }
  static Vector LoadOrdered(const uint8_t* at) { return _mm_xor_si128(Load(at), _mm_set1_epi8(-128)); }
  static Lanes Greater(Vector a, Vector b) { return _mm_cmpgt_epi8(a, b); }
  static Lanes Equal(Vector a, Vector b) { return _mm_cmpeq_epi8(a, b); }
  static Vector Minus(Vector a, Vector b) { return _mm_sub_epi8(a, b); }
  static Vector Splat(uint8_t byte) { return _mm_set1_epi8(static_cast<char>(byte)); }
  static Vector Or(Vector a, Vector b) { return _mm_or_si128(a, b); }
  static Vector Xor(Vector a, Vector b) { return _mm_xor_si128(a, b); }
  static Lanes All() { return _mm_set1_epi8(-1); }
  static Lanes None() { return _mm_setzero_si128(); }
  static Lanes Both(Lanes a, Lanes b) { return _mm_and_si128(a, b); }
  static Lanes Either(Lanes a, Lanes b) { return _mm_or_si128(a, b); }
  static bool IsEmpty(Lanes lanes) { return _mm_movemask_epi8(lanes) == 0; }
  static uint64_t Bits(Lanes lanes) { return static_cast<uint32_t>(_mm_movemask_epi8(lanes)); }
  static uint32_t ZeroBits(Vector v) {
    return static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_setzero_si128())));
  }
  static bool IsZero(Vector v) { return ZeroBits(v) == 0xFFFF; }
  static uint64_t NonZeroBits(Vector v) { return ~ZeroBits(v) & 0xFFFF; }
};

}  // namespace

size_t FindSelectedSse2(const uint8_t* const* blocks, int count, size_t length, const Selection& selection,
                        uint32_t* indexes) {
  return FindSelectedVector<Sse2>(blocks, count, length, selection, indexes);
}
