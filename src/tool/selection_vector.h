// The one body of the vector kernels, written over a few lane operations
// that each instruction set's file supplies as Ops:
//
//   Vector, Lanes         a vector of kLanes bytes; a set of lanes (a vector
//                         of all-ones lanes, or a bit mask)
//                         (SignedByteLanes below serves SSE2 and AVX2)
//   kLanes                lanes a vector
//   Load(p)               the bytes at p as they are
//   LoadOrdered(p)        the same in the form that Greater orders as
//                         unsigned bytes (top bits flipped where the
//                         instruction set compares signed bytes only)
//   Greater(a, b)         lanes where a > b, of two LoadOrdered vectors
//   Equal(a, b), Minus(a, b) (modulo 256), Splat(byte), Or, Xor
//   All(), None(), Both(x, y), Either(x, y)   sets of lanes
//   IsEmpty(lanes), Bits(lanes)   one bit a lane, lowest lane lowest
//   IsZero(v), NonZeroBits(v)
//
// Only the instruction sets' files include this, each compiled for its own
// set. Everything here has internal linkage, so that the linker can never
// take a copy compiled with wider instructions for one used elsewhere.
#pragma once

#include <immintrin.h>

#include <cstddef>
#include <cstdint>

#include "tool/selection_kernels.h"

namespace {

// The lane operations of the instruction sets that compare signed bytes
// only and give vectors of all-ones lanes (SSE2: 16 bytes, AVX2: 32), in
// the compiler's generic vectors; the bytes are loaded with their top bits
// flipped, which orders them as unsigned bytes.
template <class SignedBytes>
struct SignedByteLanes {
  using Vector = SignedBytes;  // the compiler's vector of signed chars
  using Lanes = Vector;
  static constexpr size_t kLanes = sizeof(Vector);

  static Vector Load(const uint8_t* at) {
    Vector v;
    __builtin_memcpy(&v, at, sizeof v);
    return v;
  }
  static Vector Splat(uint8_t byte) { return Vector{} + static_cast<signed char>(byte); }
  static Vector LoadOrdered(const uint8_t* at) { return Load(at) ^ Splat(0x80); }
  static Lanes Greater(Vector a, Vector b) { return a > b; }
  static Lanes Equal(Vector a, Vector b) { return a == b; }
  static Vector Minus(Vector a, Vector b) { return a - b; }
  static Vector Or(Vector a, Vector b) { return a | b; }
  static Vector Xor(Vector a, Vector b) { return a ^ b; }
  static Lanes All() { return Vector{} == Vector{}; }
  static Lanes None() { return Vector{}; }
  static Lanes Both(Lanes a, Lanes b) { return a & b; }
  static Lanes Either(Lanes a, Lanes b) { return a | b; }
  // The top bit of every lane, one bit a lane.
  static uint64_t Bits(Lanes lanes) {
    if constexpr (kLanes == 16) {
      return static_cast<uint32_t>(_mm_movemask_epi8(reinterpret_cast<__m128i>(lanes)));
    } else {
      return static_cast<uint32_t>(_mm256_movemask_epi8(reinterpret_cast<__m256i>(lanes)));
    }
  }
  static bool IsEmpty(Lanes lanes) { return Bits(lanes) == 0; }
  static uint64_t NonZeroBits(Vector v) { return Bits(v != Vector{}); }
  static bool IsZero(Vector v) { return Bits(v == Vector{}) == (uint64_t{1} << kLanes) - 1; }
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
// random bytes have almost surely failed, so that the answer is easy to
// predict: random bytes in 7 inputs rise or fall throughout at 2 positions
// in 5040, while a constant step survives two steps at 1 in 65536.
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
  constexpr size_t kRound = 128 / Ops::kLanes;
  const auto differing = [&](size_t from) {
    const Vector first = Ops::Load(blocks[0] + from);
    Vector bits = Ops::Xor(first, first);
    for (int k = 1; k < count; ++k) bits = Ops::Or(bits, Ops::Xor(Ops::Load(blocks[k] + from), first));
    return bits;
  };
  size_t found = 0;
  for (; at + kRound * Ops::kLanes <= length; at += kRound * Ops::kLanes) {
    // Unrolled whole, so that the parts stay in registers.
    Vector parts[kRound];
    Vector any = parts[0] = differing(at);
#pragma GCC unroll 8
    for (size_t part = 1; part < kRound; ++part) any = Ops::Or(any, parts[part] = differing(at + part * Ops::kLanes));
    if (Ops::IsZero(any)) continue;
#pragma GCC unroll 8
    for (size_t part = 0; part < kRound; ++part)
      found = AppendLanes(Ops::NonZeroBits(parts[part]), at + part * Ops::kLanes, indexes, found);
  }
  for (; at + Ops::kLanes <= length; at += Ops::kLanes)
    found = AppendLanes(Ops::NonZeroBits(differing(at)), at, indexes, found);
  return found;
}

// The lanes that pass, from what the pairs so far said of them: each set
// holds the lanes still rising, falling, or keeping the step.
template <class Ops>
typename Ops::Lanes Passing(typename Ops::Lanes rising, typename Ops::Lanes falling,
                            typename Ops::Lanes stepKept, const Selection& selection, const StepRule& step) {
  typename Ops::Lanes selected = Ops::None();
  if (selection.ascending) selected = Ops::Either(selected, rising);
  if (selection.descending) selected = Ops::Either(selected, falling);
  if (step.active) {
    // A step needs a direction too: equal differences modulo 256 are
    // equal steps only when all of them have one sign.
    const typename Ops::Lanes direction =
        step.any ? Ops::Either(rising, falling) : step.direction > 0 ? rising : falling;
    selected = Ops::Either(selected, Ops::Both(direction, stepKept));
  }
  return selected;
}

// The positions from at that pass the selection, a bit each.
template <class Ops>
uint64_t SelectedLanes(const uint8_t* const* blocks, int count, size_t at, const Selection& selection,
                       const StepRule& step, int testAt) {
  using Vector = typename Ops::Vector;
  using Lanes = typename Ops::Lanes;
  Vector previous = Ops::LoadOrdered(blocks[0] + at);
  Lanes rising = Ops::All(), falling = Ops::All(), stepKept = Ops::All();
  // Flipping the top bits changes no difference modulo 256.
  Vector target = Ops::Splat(step.byte);
  for (int k = 1; k < count; ++k) {
    const Vector next = Ops::LoadOrdered(blocks[k] + at);
    rising = Ops::Both(rising, Ops::Greater(next, previous));
    falling = Ops::Both(falling, Ops::Greater(previous, next));
    if (step.active) {
      const Vector difference = Ops::Minus(next, previous);
      if (k == 1 && step.any) target = difference;
      stepKept = Ops::Both(stepKept, Ops::Equal(difference, target));
    }
    previous = next;
    if (k == testAt && Ops::IsEmpty(Passing<Ops>(rising, falling, stepKept, selection, step))) return 0;
  }
  return Ops::Bits(Passing<Ops>(rising, falling, stepKept, selection, step));
}

template <class Ops>
size_t FindSelectedVector(const uint8_t* const* blocks, int count, size_t length, const Selection& selection,
                          uint32_t* indexes) {
  size_t at = 0;
  size_t found = 0;
  if (!AnySelection(selection)) {
    found = FindDifferences<Ops>(blocks, count, length, indexes, at);
  } else {
    const StepRule step = StepRuleFor(selection);
    if (SelectsNothing(selection, step)) return 0;
    const int testAt = PairsBeforeTest(selection);
    for (; at + Ops::kLanes <= length; at += Ops::kLanes)
      found = AppendLanes(SelectedLanes<Ops>(blocks, count, at, selection, step, testAt), at, indexes, found);
  }
  // The tail that no whole vector covers.
  return FindSelectedOneByOne(blocks, count, at, length, selection, indexes, found);
}

}  // namespace
