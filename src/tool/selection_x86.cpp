// Vector kernels for x86-64: SSE2 (every x86-64 processor), AVX2 and
// AVX-512BW. Each kernel function carries its own instruction set, so the
// rest of the program runs on any x86-64 processor and a kernel is only
// called where the processor has its instructions.
//
// A whole vector of positions is tested at once: the bytes of neighbouring
// inputs are compared lane by lane, the results of all pairs combined, and
// only the lanes that pass become indexes. Bytes compare unsigned: with
// their top bits flipped, the signed compares of SSE2 and AVX2 order them
// as unsigned bytes; AVX-512 compares unsigned bytes itself.
#include <immintrin.h>

#include "tool/selection_kernels.h"

namespace {

// A vector of positions is given up as soon as none of its lanes can pass
// any more, but that is asked only once, after the pair of inputs by which
// random bytes have almost surely failed, so that the answer is easy to
// predict: random bytes in 7 inputs rise or fall throughout at 2 positions
// in 5040, while a constant step survives two steps at 1 in 65536.
int PairsBeforeTest(const Selection& selection) {
  return selection.ascending || selection.descending ? 6 : 2;
}

// ---- SSE2: 16 positions a vector.

[[gnu::target("sse2")]] inline __m128i Load16(const uint8_t* const* blocks, int k, size_t at) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(blocks[k] + at));
}

// The lanes of 16 positions from at whose bytes differ anywhere.
[[gnu::target("sse2")]] inline __m128i Differing16(const uint8_t* const* blocks, int count, size_t at) {
  const __m128i first = Load16(blocks, 0, at);
  __m128i bits = _mm_setzero_si128();
  for (int k = 1; k < count; ++k) bits = _mm_or_si128(bits, _mm_xor_si128(Load16(blocks, k, at), first));
  return bits;
}

// The lanes that pass, from what the pairs so far said of them.
[[gnu::target("sse2")]] inline __m128i Passing16(__m128i rising, __m128i falling, __m128i stepMissed,
                                                  const Selection& selection, const StepRule& step) {
  const __m128i zero = _mm_setzero_si128();
  __m128i selected = zero;
  if (selection.ascending) selected = _mm_or_si128(selected, rising);
  if (selection.descending) selected = _mm_or_si128(selected, falling);
  if (step.active) {
    const __m128i direction = step.any ? _mm_or_si128(rising, falling) : step.direction > 0 ? rising : falling;
    selected = _mm_or_si128(selected, _mm_and_si128(direction, _mm_cmpeq_epi8(stepMissed, zero)));
  }
  return selected;
}

// The lanes of 16 positions from at that pass the selection, as bits.
[[gnu::target("sse2")]] uint32_t Selected16(const uint8_t* const* blocks, int count, size_t at,
                                              const Selection& selection, const StepRule& step,
                                              int testAt) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i topBits = _mm_set1_epi8(static_cast<char>(0x80));
  const __m128i ones = _mm_cmpeq_epi8(zero, zero);
  __m128i previous = _mm_xor_si128(Load16(blocks, 0, at), topBits);
  __m128i rising = ones, falling = ones, stepMissed = zero;
  __m128i target = _mm_set1_epi8(static_cast<char>(step.byte));
  for (int k = 1; k < count; ++k) {
    const __m128i next = _mm_xor_si128(Load16(blocks, k, at), topBits);
    rising = _mm_and_si128(rising, _mm_cmpgt_epi8(next, previous));
    falling = _mm_and_si128(falling, _mm_cmpgt_epi8(previous, next));
    if (step.active) {
      const __m128i difference = _mm_sub_epi8(next, previous);
      if (k == 1 && step.any) target = difference;
      stepMissed = _mm_or_si128(stepMissed, _mm_xor_si128(difference, target));
    }
    previous = next;
    if (k == testAt &&
        _mm_movemask_epi8(Passing16(rising, falling, stepMissed, selection, step)) == 0) {
      return 0;
    }
  }
  return static_cast<uint32_t>(_mm_movemask_epi8(Passing16(rising, falling, stepMissed, selection, step)));
}

[[gnu::target("sse2")]] size_t FindSelectedSse2(const uint8_t* const* blocks, int count, size_t length,
                                                  const Selection& selection, uint32_t* indexes) {
  constexpr size_t kLanes = 16;
  const __m128i zero = _mm_setzero_si128();
  size_t found = 0;
  size_t at = 0;
  if (!AnySelection(selection)) {
    // Four vectors a round, so that an equal stretch costs one test.
    for (; at + 4 * kLanes <= length; at += 4 * kLanes) {
      const __m128i d0 = Differing16(blocks, count, at), d1 = Differing16(blocks, count, at + kLanes);
      const __m128i d2 = Differing16(blocks, count, at + 2 * kLanes);
      const __m128i d3 = Differing16(blocks, count, at + 3 * kLanes);
      const __m128i any = _mm_or_si128(_mm_or_si128(d0, d1), _mm_or_si128(d2, d3));
      if (_mm_movemask_epi8(_mm_cmpeq_epi8(any, zero)) == 0xFFFF) continue;
      const __m128i parts[4] = {d0, d1, d2, d3};
      for (size_t part = 0; part < 4; ++part) {
        const uint32_t lanes = ~static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(parts[part], zero))) & 0xFFFF;
        found = AppendLanes(lanes, at + part * kLanes, indexes, found);
      }
    }
    for (; at + kLanes <= length; at += kLanes) {
      const __m128i bits = Differing16(blocks, count, at);
      const uint32_t lanes = ~static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(bits, zero))) & 0xFFFF;
      found = AppendLanes(lanes, at, indexes, found);
    }
  } else {
    const StepRule step = StepRuleFor(selection);
    if (!selection.ascending && !selection.descending && !step.active) return 0;
    const int testAt = PairsBeforeTest(selection);
    for (; at + kLanes <= length; at += kLanes) {
      found = AppendLanes(Selected16(blocks, count, at, selection, step, testAt), at, indexes, found);
    }
  }
  return FindSelectedOneByOne(blocks, count, at, length, selection, indexes, found);
}

// ---- AVX2: 32 positions a vector, the same steps as SSE2.

[[gnu::target("avx2")]] inline __m256i Load32(const uint8_t* const* blocks, int k, size_t at) {
  return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(blocks[k] + at));
}

[[gnu::target("avx2")]] inline __m256i Differing32(const uint8_t* const* blocks, int count, size_t at) {
  const __m256i first = Load32(blocks, 0, at);
  __m256i bits = _mm256_setzero_si256();
  for (int k = 1; k < count; ++k) bits = _mm256_or_si256(bits, _mm256_xor_si256(Load32(blocks, k, at), first));
  return bits;
}

[[gnu::target("avx2")]] inline uint32_t NonZeroLanes32(__m256i bits) {
  return ~static_cast<uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(bits, _mm256_setzero_si256())));
}

[[gnu::target("avx2")]] inline __m256i Passing32(__m256i rising, __m256i falling, __m256i stepMissed,
                                                  const Selection& selection, const StepRule& step) {
  const __m256i zero = _mm256_setzero_si256();
  __m256i selected = zero;
  if (selection.ascending) selected = _mm256_or_si256(selected, rising);
  if (selection.descending) selected = _mm256_or_si256(selected, falling);
  if (step.active) {
    const __m256i direction =
        step.any ? _mm256_or_si256(rising, falling) : step.direction > 0 ? rising : falling;
    selected = _mm256_or_si256(selected, _mm256_and_si256(direction, _mm256_cmpeq_epi8(stepMissed, zero)));
  }
  return selected;
}

[[gnu::target("avx2")]] uint32_t Selected32(const uint8_t* const* blocks, int count, size_t at,
                                              const Selection& selection, const StepRule& step, int testAt) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i topBits = _mm256_set1_epi8(static_cast<char>(0x80));
  const __m256i ones = _mm256_cmpeq_epi8(zero, zero);
  __m256i previous = _mm256_xor_si256(Load32(blocks, 0, at), topBits);
  __m256i rising = ones, falling = ones, stepMissed = zero;
  __m256i target = _mm256_set1_epi8(static_cast<char>(step.byte));
  for (int k = 1; k < count; ++k) {
    const __m256i next = _mm256_xor_si256(Load32(blocks, k, at), topBits);
    rising = _mm256_and_si256(rising, _mm256_cmpgt_epi8(next, previous));
    falling = _mm256_and_si256(falling, _mm256_cmpgt_epi8(previous, next));
    if (step.active) {
      const __m256i difference = _mm256_sub_epi8(next, previous);
      if (k == 1 && step.any) target = difference;
      stepMissed = _mm256_or_si256(stepMissed, _mm256_xor_si256(difference, target));
    }
    previous = next;
    if (k == testAt) {
      const __m256i passing = Passing32(rising, falling, stepMissed, selection, step);
      if (_mm256_testz_si256(passing, passing)) return 0;
    }
  }
  return static_cast<uint32_t>(_mm256_movemask_epi8(Passing32(rising, falling, stepMissed, selection, step)));
}

[[gnu::target("avx2")]] size_t FindSelectedAvx2(const uint8_t* const* blocks, int count, size_t length,
                                                  const Selection& selection, uint32_t* indexes) {
  constexpr size_t kLanes = 32;
  size_t found = 0;
  size_t at = 0;
  if (!AnySelection(selection)) {
    for (; at + 4 * kLanes <= length; at += 4 * kLanes) {
      const __m256i d0 = Differing32(blocks, count, at), d1 = Differing32(blocks, count, at + kLanes);
      const __m256i d2 = Differing32(blocks, count, at + 2 * kLanes);
      const __m256i d3 = Differing32(blocks, count, at + 3 * kLanes);
      const __m256i any = _mm256_or_si256(_mm256_or_si256(d0, d1), _mm256_or_si256(d2, d3));
      if (_mm256_testz_si256(any, any)) continue;
      found = AppendLanes(NonZeroLanes32(d0), at, indexes, found);
      found = AppendLanes(NonZeroLanes32(d1), at + kLanes, indexes, found);
      found = AppendLanes(NonZeroLanes32(d2), at + 2 * kLanes, indexes, found);
      found = AppendLanes(NonZeroLanes32(d3), at + 3 * kLanes, indexes, found);
    }
    for (; at + kLanes <= length; at += kLanes) {
      found = AppendLanes(NonZeroLanes32(Differing32(blocks, count, at)), at, indexes, found);
    }
  } else {
    const StepRule step = StepRuleFor(selection);
    if (!selection.ascending && !selection.descending && !step.active) return 0;
    const int testAt = PairsBeforeTest(selection);
    for (; at + kLanes <= length; at += kLanes) {
      found = AppendLanes(Selected32(blocks, count, at, selection, step, testAt), at, indexes, found);
    }
  }
  return FindSelectedOneByOne(blocks, count, at, length, selection, indexes, found);
}

// ---- AVX-512BW: 64 positions a vector; the compares give bit masks and
// compare unsigned bytes directly.

[[gnu::target("avx512f,avx512bw")]] inline __m512i Load64(const uint8_t* const* blocks, int k, size_t at) {
  return _mm512_loadu_si512(blocks[k] + at);
}

[[gnu::target("avx512f,avx512bw")]] inline uint64_t Differing64(const uint8_t* const* blocks, int count, size_t at) {
  const __m512i first = Load64(blocks, 0, at);
  __m512i bits = _mm512_setzero_si512();
  for (int k = 1; k < count; ++k) bits = _mm512_or_si512(bits, _mm512_xor_si512(Load64(blocks, k, at), first));
  return _mm512_test_epi8_mask(bits, bits);
}

inline uint64_t Passing64(uint64_t rising, uint64_t falling, uint64_t stepKept, const Selection& selection,
                          const StepRule& step) {
  uint64_t selected = 0;
  if (selection.ascending) selected |= rising;
  if (selection.descending) selected |= falling;
  if (step.active) {
    const uint64_t direction = step.any ? (rising | falling) : step.direction > 0 ? rising : falling;
    selected |= direction & stepKept;
  }
  return selected;
}

[[gnu::target("avx512f,avx512bw")]] uint64_t Selected64(const uint8_t* const* blocks, int count, size_t at,
                                   const Selection& selection, const StepRule& step, int testAt) {
  __m512i previous = Load64(blocks, 0, at);
  __mmask64 rising = ~__mmask64{0}, falling = ~__mmask64{0}, stepKept = ~__mmask64{0};
  __m512i target = _mm512_set1_epi8(static_cast<char>(step.byte));
  for (int k = 1; k < count; ++k) {
    const __m512i next = Load64(blocks, k, at);
    rising &= _mm512_cmpgt_epu8_mask(next, previous);
    falling &= _mm512_cmplt_epu8_mask(next, previous);
    if (step.active) {
      const __m512i difference = _mm512_sub_epi8(next, previous);
      if (k == 1 && step.any) target = difference;
      stepKept &= _mm512_cmpeq_epi8_mask(difference, target);
    }
    previous = next;
    if (k == testAt && Passing64(rising, falling, stepKept, selection, step) == 0) return 0;
  }
  return Passing64(rising, falling, stepKept, selection, step);
}

[[gnu::target("avx512f,avx512bw")]] size_t FindSelectedAvx512(const uint8_t* const* blocks, int count, size_t length,
                                         const Selection& selection, uint32_t* indexes) {
  constexpr size_t kLanes = 64;
  size_t found = 0;
  size_t at = 0;
  if (!AnySelection(selection)) {
    for (; at + 2 * kLanes <= length; at += 2 * kLanes) {
      const uint64_t d0 = Differing64(blocks, count, at), d1 = Differing64(blocks, count, at + kLanes);
      if ((d0 | d1) == 0) continue;
      found = AppendLanes(d0, at, indexes, found);
      found = AppendLanes(d1, at + kLanes, indexes, found);
    }
    for (; at + kLanes <= length; at += kLanes) {
      found = AppendLanes(Differing64(blocks, count, at), at, indexes, found);
    }
  } else {
    const StepRule step = StepRuleFor(selection);
    if (!selection.ascending && !selection.descending && !step.active) return 0;
    const int testAt = PairsBeforeTest(selection);
    for (; at + kLanes <= length; at += kLanes) {
      found = AppendLanes(Selected64(blocks, count, at, selection, step, testAt), at, indexes, found);
    }
  }
  return FindSelectedOneByOne(blocks, count, at, length, selection, indexes, found);
}

}  // namespace

int ProcessorKernels(KernelEntry* kernels, int capacity) {
  __builtin_cpu_init();
  const KernelEntry offered[] = {
      {"sse2", FindSelectedSse2},
      {"avx2", __builtin_cpu_supports("avx2") ? FindSelectedAvx2 : nullptr},
      {"avx512bw", __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw")
                       ? FindSelectedAvx512
                       : nullptr},
  };
  int count = 0;
  for (const KernelEntry& kernel : offered) {
    if (kernel.find != nullptr && count < capacity) kernels[count++] = kernel;
  }
  return count;
}
