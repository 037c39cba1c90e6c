// The one body of the vector kernels. A vector holds kBytes bytes of every
// input at once: kBytes / n values of n bytes (n = 1, 2, 4 or 8), one a
// lane, in the compiler's generic vectors, which the compiler turns into
// the instructions of the set that each including file is compiled for
// (SSE2: 16 bytes, AVX2: 32, AVX-512BW: 64).
//
// Only those files include this. Everything here has internal linkage, so
// that the linker can never take a copy compiled with wider instructions
// for one used elsewhere in the program.
#pragma once

#include <immintrin.h>

#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "comparison/kernels/selection_kernels.h"

namespace {

// The compiler's vector of kBytes bytes of T.
template <class T, int kBytes>
struct VectorOf {
  using Type [[gnu::vector_size(kBytes)]] = T;
};

// Lanes of values of type Element (a signed integer of n bytes), read in
// either byte order. Values compare unsigned: with their top bits flipped,
// signed compares order them as unsigned values, and differences modulo
// 2^n stay what they were.
template <int kBytes, class Element, bool kBigEndian>
struct ValueLanes {
  using Vector = typename VectorOf<Element, kBytes>::Type;
  using Unsigned = typename VectorOf<std::make_unsigned_t<Element>, kBytes>::Type;
  using Bytes = typename VectorOf<signed char, kBytes>::Type;
  using Lanes = Vector;  // all-ones lanes
  static constexpr size_t kVectorBytes = kBytes;
  static constexpr size_t kWidth = sizeof(Element);

  // The bytes as they are: enough to tell values apart.
  static Vector Load(const uint8_t* at) {
    Vector values;
    __builtin_memcpy(&values, at, sizeof values);
    return values;
  }
  static Vector TopBits() { return Vector{} + static_cast<Element>(uint64_t{1} << (8 * kWidth - 1)); }
  static Vector LoadOrdered(const uint8_t* at) {
    Vector values = Load(at);
    if constexpr (kBigEndian && kWidth > 1) values = SwapBytes(values);
    return values ^ TopBits();
  }
  // Every lane's bytes reversed, most significant first in the file: the
  // bytes of each pair swapped, then the pairs of each four, then the
  // fours of each eight.
  static Vector SwapBytes(Vector lanes) {
    auto v = reinterpret_cast<Unsigned>(lanes);
    constexpr auto kPairs = static_cast<std::make_unsigned_t<Element>>(0x00FF00FF00FF00FFull);
    v = ((v & kPairs) << 8) | ((v >> 8) & kPairs);
    if constexpr (kWidth >= 4) {
      constexpr auto kFours = static_cast<std::make_unsigned_t<Element>>(0x0000FFFF0000FFFFull);
      v = ((v & kFours) << 16) | ((v >> 16) & kFours);
    }
    if constexpr (kWidth == 8) v = (v << 32) | (v >> 32);
    return reinterpret_cast<Vector>(v);
  }
  static Vector Splat(uint64_t value) { return Vector{} + static_cast<Element>(value); }
  static Vector SplatOrdered(uint64_t value) { return Splat(value) ^ TopBits(); }
  static Lanes Greater(Vector a, Vector b) { return a > b; }
  static Lanes Equal(Vector a, Vector b) { return a == b; }
  static Vector Minus(Vector a, Vector b) {
    // Modulo 2^n: unsigned arithmetic, which cannot overflow.
    return reinterpret_cast<Vector>(reinterpret_cast<Unsigned>(a) - reinterpret_cast<Unsigned>(b));
  }
  static Vector Or(Vector a, Vector b) { return a | b; }
  static Vector Xor(Vector a, Vector b) { return a ^ b; }
  static Lanes All() { return Vector{} == Vector{}; }
  static Lanes None() { return Vector{}; }
  static Lanes Both(Lanes a, Lanes b) { return a & b; }
  static Lanes Either(Lanes a, Lanes b) { return a | b; }
  // One bit a lane, at the lane's first byte: the top bit of every byte,
  // of which a lane of all ones keeps the lowest.
  static uint64_t Bits(Lanes lanes) {
    const auto bytes = reinterpret_cast<Bytes>(lanes);
    uint64_t bits;
    if constexpr (kBytes == 16) {
      bits = static_cast<uint32_t>(_mm_movemask_epi8(reinterpret_cast<__m128i>(bytes)));
    } else if constexpr (kBytes == 32) {
      bits = static_cast<uint32_t>(_mm256_movemask_epi8(reinterpret_cast<__m256i>(bytes)));
    } else {
      bits = _mm512_movepi8_mask(reinterpret_cast<__m512i>(bytes));
    }
    return bits & FirstByteBits();
  }
  static constexpr uint64_t FirstByteBits() {
    uint64_t bits = 0;
    for (size_t i = 0; i < kBytes; i += kWidth) bits |= uint64_t{1} << i;
    return bits;
  }
  static bool IsEmpty(Lanes lanes) { return Bits(lanes) == 0; }
  static uint64_t NonZeroBits(Vector v) { return Bits(v != Vector{}); }
  static bool IsZero(Vector v) { return NonZeroBits(v) == 0; }
};

// Appends at + i for every set bit i of lanes, lowest first.
inline size_t AppendLanes(uint64_t lanes, size_t at, uint32_t* indexes, size_t found) {
  while (lanes != 0) {
    indexes[found++] = static_cast<uint32_t>(at + static_cast<size_t>(__builtin_ctzll(lanes)));
    lanes &= lanes - 1;
  }
  return found;
}

// A vector of positions is given up as soon as none of its lanes can pass
// any more, but that is asked only once, after the pair of inputs by which
// random values have almost surely failed, so that the answer is easy to
// predict: random bytes in 7 inputs rise or fall throughout at 2 positions
// in 5040, while a constant step or a known value survives two pairs at 1
// in 65536 or less.
inline int PairsBeforeTest(const Selection& selection) {
  return selection.ascending || selection.descending ? 6 : 2;
}

// Without a selection only differences count. A round of 128 bytes (eight
// vectors of SSE2, four of AVX2, two of AVX-512) costs one test where it
// is all equal, the usual case between snapshots.
template <class Ops>
size_t FindDifferences(const uint8_t* const* blocks, int count, size_t length, uint32_t* indexes,
                       size_t& at) {
  using Vector = typename Ops::Vector;
  constexpr size_t kStep = Ops::kVectorBytes;
  constexpr size_t kRound = 128 / kStep;
  const auto differing = [&](size_t from) {
    const Vector first = Ops::Load(blocks[0] + from);
    Vector bits = Ops::Xor(first, first);
    for (int k = 1; k < count; ++k) bits = Ops::Or(bits, Ops::Xor(Ops::Load(blocks[k] + from), first));
    return bits;
  };
  size_t found = 0;
  for (; at + kRound * kStep <= length; at += kRound * kStep) {
    // Unrolled whole, so that the parts stay in registers.
    Vector parts[kRound];
    Vector any = parts[0] = differing(at);
#pragma GCC unroll 8
    for (size_t part = 1; part < kRound; ++part) any = Ops::Or(any, parts[part] = differing(at + part * kStep));
    if (Ops::IsZero(any)) continue;
#pragma GCC unroll 8
    for (size_t part = 0; part < kRound; ++part)
      found = AppendLanes(Ops::NonZeroBits(parts[part]), at + part * kStep, indexes, found);
  }
  for (; at + kStep <= length; at += kStep) found = AppendLanes(Ops::NonZeroBits(differing(at)), at, indexes, found);
  return found;
}

// The lanes that pass, from what the pairs so far said of each: still
// rising, falling, keeping the step, holding the known values.
template <class Ops>
typename Ops::Lanes Passing(typename Ops::Lanes rising, typename Ops::Lanes falling, typename Ops::Lanes stepKept,
                            typename Ops::Lanes known, const Selection& selection, const KernelRule& rule) {
  typename Ops::Lanes selected = Ops::None();
  if (selection.ascending) selected = Ops::Either(selected, rising);
  if (selection.descending) selected = Ops::Either(selected, falling);
  if (rule.step) {
    // A step needs a direction too: equal differences modulo 2^n are
    // equal steps only when all of them have one sign.
    const typename Ops::Lanes direction = rule.anyStep ? Ops::Either(rising, falling)
                                          : rule.direction > 0 ? rising
                                                               : falling;
    selected = Ops::Either(selected, Ops::Both(direction, stepKept));
  }
  // Known values that differ: a lane holding them all differs too.
  if (rule.known) selected = Ops::Either(selected, known);
  return selected;
}

// The positions from at that pass the selection, a bit each. Whether a
// step and known values are asked for is known at compile time, so that
// the loop over the inputs tests nothing else.
template <class Ops, bool kStep, bool kKnown>
uint64_t SelectedLanes(const uint8_t* const* blocks, int count, size_t at, const Selection& selection,
                       const KernelRule& rule, const typename Ops::Vector* knownTargets, int testAt) {
  using Vector = typename Ops::Vector;
  using Lanes = typename Ops::Lanes;
  Vector previous = Ops::LoadOrdered(blocks[0] + at);
  Lanes rising = Ops::All(), falling = Ops::All(), stepKept = Ops::All(), known = Ops::All();
  if constexpr (kKnown) known = Ops::Equal(previous, knownTargets[0]);
  Vector target = Ops::Splat(rule.stepModulo);
  for (int k = 1; k < count; ++k) {
    const Vector next = Ops::LoadOrdered(blocks[k] + at);
    rising = Ops::Both(rising, Ops::Greater(next, previous));
    falling = Ops::Both(falling, Ops::Greater(previous, next));
    if constexpr (kStep) {
      const Vector difference = Ops::Minus(next, previous);
      if (k == 1 && rule.anyStep) target = difference;
      stepKept = Ops::Both(stepKept, Ops::Equal(difference, target));
    }
    if constexpr (kKnown) known = Ops::Both(known, Ops::Equal(next, knownTargets[k]));
    previous = next;
    if (k == testAt && Ops::IsEmpty(Passing<Ops>(rising, falling, stepKept, known, selection, rule))) return 0;
  }
  return Ops::Bits(Passing<Ops>(rising, falling, stepKept, known, selection, rule));
}

template <class Ops>
size_t FindSelectedVector(const uint8_t* const* blocks, int count, size_t length, const Selection& selection,
                          uint32_t* indexes) {
  size_t at = 0;
  size_t found = 0;
  if (!AnySelection(selection)) {
    found = FindDifferences<Ops>(blocks, count, length, indexes, at);
  } else {
    const KernelRule rule = KernelRuleFor(selection, count);
    if (SelectsNothing(selection, rule)) return 0;
    typename Ops::Vector knownTargets[kMostFiles];
    for (int k = 0; k < count; ++k) knownTargets[k] = Ops::SplatOrdered(selection.values[k]);
    const int testAt = PairsBeforeTest(selection);
    const auto scan = [&](auto selected) {
      for (; at + Ops::kVectorBytes <= length; at += Ops::kVectorBytes)
        found = AppendLanes(selected(blocks, count, at, selection, rule, knownTargets, testAt), at, indexes, found);
    };
    if (rule.known) {
      rule.step ? scan(SelectedLanes<Ops, true, true>) : scan(SelectedLanes<Ops, false, true>);
    } else {
      rule.step ? scan(SelectedLanes<Ops, true, false>) : scan(SelectedLanes<Ops, false, false>);
    }
  }
  // The tail that no whole vector covers.
  return FindSelectedOneByOne(blocks, count, at, length, selection, indexes, found);
}

// The kernel for a vector of kBytes bytes, for the width and byte order
// that the selection asks for.
template <int kBytes>
size_t FindSelectedAnyWidth(const uint8_t* const* blocks, int count, size_t length, const Selection& selection,
                            uint32_t* indexes) {
  const bool big = selection.bigEndian;
  switch (selection.width) {
    case 2:
      return big ? FindSelectedVector<ValueLanes<kBytes, int16_t, true>>(blocks, count, length, selection, indexes)
                 : FindSelectedVector<ValueLanes<kBytes, int16_t, false>>(blocks, count, length, selection, indexes);
    case 4:
      return big ? FindSelectedVector<ValueLanes<kBytes, int32_t, true>>(blocks, count, length, selection, indexes)
                 : FindSelectedVector<ValueLanes<kBytes, int32_t, false>>(blocks, count, length, selection, indexes);
    case 8:
      return big ? FindSelectedVector<ValueLanes<kBytes, int64_t, true>>(blocks, count, length, selection, indexes)
                 : FindSelectedVector<ValueLanes<kBytes, int64_t, false>>(blocks, count, length, selection, indexes);
    default:
      return FindSelectedVector<ValueLanes<kBytes, int8_t, false>>(blocks, count, length, selection, indexes);
  }
}

}  // namespace
