// The one body of the block kernels. A vector holds kBytes bytes of every
// input at once: kBytes / n values of n bytes (n = 1, 2, 4 or 8), one a
// lane, in the compiler's generic vectors, which the compiler turns into
// the instructions of the set that each including file is compiled for
// (SSE2: 16 bytes, AVX2: 32, AVX-512BW: 64), or into whatever the target
// has for the portable kernel. The one step that differs from one set to
// the next, a set of lanes to one bit a byte, is the ByteBits policy each
// file gives.
//
// Only those files include this. Everything here has internal linkage, so
// that the linker can never take a copy compiled with wider instructions
// for one used elsewhere in the program.
#pragma once

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

// The top bit of every byte of a vector, lowest byte first, without the
// instructions of any set: the portable kernel's step from lanes to bits.
struct PortableByteBits {
  template <class Bytes>
  static uint64_t Of(Bytes bytes) {
    uint64_t bits = 0;
    for (size_t i = 0; i < sizeof bytes; ++i) bits |= uint64_t{bytes[i] < 0} << i;
    return bits;
  }
};

// Lanes of values of type Element (a signed integer of n bytes), read in
// either byte order. Values compare unsigned: with their top bits flipped,
// signed compares order them as unsigned values, and differences modulo
// 2^n stay what they were. Sets of lanes are a type of their own, so that
// a set and a vector of values never mix; And, Or and Xor are named as in
// Highway, for sets and vectors alike.
template <int kBytes, class Element, bool kBigEndian, class ByteBits>
struct ValueLanes {
  using Vector = typename VectorOf<Element, kBytes>::Type;
  using Ordered = Vector;  // values as they compare: here with their top bits flipped
  using Unsigned = typename VectorOf<std::make_unsigned_t<Element>, kBytes>::Type;
  using Bytes = typename VectorOf<signed char, kBytes>::Type;
  struct Lanes {
    Vector all;  // every lane all ones (in the set) or all zeros
  };
  static constexpr size_t kVectorBytes = kBytes;
  static constexpr size_t kWidth = sizeof(Element);
  static constexpr bool kReal = false;

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
  static Vector Minus(Vector a, Vector b) {
    // Modulo 2^n: unsigned arithmetic, which cannot overflow.
    return reinterpret_cast<Vector>(reinterpret_cast<Unsigned>(a) - reinterpret_cast<Unsigned>(b));
  }
  static Vector Or(Vector a, Vector b) { return a | b; }
  static Vector Xor(Vector a, Vector b) { return a ^ b; }

  static Lanes Greater(Vector a, Vector b) { return {a > b}; }
  static Lanes Equal(Vector a, Vector b) { return {a == b}; }
  static Lanes NonZero(Vector v) { return {v != Vector{}}; }
  static Lanes All() { return {Vector{} == Vector{}}; }
  static Lanes None() { return {Vector{}}; }
  static Lanes And(Lanes a, Lanes b) { return {a.all & b.all}; }
  static Lanes AndNot(Lanes a, Lanes b) { return {a.all & ~b.all}; }
  static Lanes Or(Lanes a, Lanes b) { return {a.all | b.all}; }
  // One bit a lane, at the lane's first byte: the top bit of every byte,
  // of which a lane of all ones keeps the lowest.
  static uint64_t Bits(Lanes lanes) { return ByteBits::Of(reinterpret_cast<Bytes>(lanes.all)) & FirstByteBits(); }
  static constexpr uint64_t FirstByteBits() {
    uint64_t bits = 0;
    for (size_t i = 0; i < kBytes; i += kWidth) bits |= uint64_t{1} << i;
    return bits;
  }
  static bool IsEmpty(Lanes lanes) { return Bits(lanes) == 0; }

  // Known values: a value v lies from low to high when v - low, modulo
  // 2^n, is no more than high - low, as unsigned numbers.
  static Ordered KnownLow(uint64_t lowest, uint64_t) { return SplatOrdered(lowest); }
  static Ordered KnownHigh(uint64_t lowest, uint64_t highest) { return SplatOrdered(highest - lowest); }
  static Lanes Within(Ordered value, Ordered low, Ordered span) {
    return {~(Xor(Minus(value, low), TopBits()) > span)};
  }
};

// Lanes of real values, IEEE 754 binary32 (Real float, Element int32_t)
// or binary64 (double, int64_t), in either byte order: the bytes as they
// are to tell values apart, as for integers, and the numbers to compare,
// where -0 equals +0 and a NaN neither rises, nor falls, nor equals
// anything. Nothing asks them for a step.
template <int kBytes, class Real, class Element, bool kBigEndian, class ByteBits>
struct RealLanes : ValueLanes<kBytes, Element, kBigEndian, ByteBits> {
  using Integers = ValueLanes<kBytes, Element, kBigEndian, ByteBits>;
  using Ordered = typename VectorOf<Real, kBytes>::Type;
  using typename Integers::Lanes;
  using typename Integers::Vector;
  static constexpr bool kReal = true;

  static Ordered LoadOrdered(const uint8_t* at) {
    Vector values = Integers::Load(at);
    if constexpr (kBigEndian) values = Integers::SwapBytes(values);
    return reinterpret_cast<Ordered>(values);
  }
  static Ordered Splat(uint64_t bits) { return reinterpret_cast<Ordered>(Integers::Splat(bits)); }
  static Ordered Minus(Ordered a, Ordered b) { return a - b; }
  static Lanes Greater(Ordered a, Ordered b) { return {a > b}; }
  static Lanes Equal(Ordered a, Ordered b) { return {a == b}; }
  static Ordered KnownLow(uint64_t lowest, uint64_t) { return Splat(lowest); }
  static Ordered KnownHigh(uint64_t, uint64_t highest) { return Splat(highest); }
  static Lanes Within(Ordered value, Ordered low, Ordered high) { return {(value >= low) & (value <= high)}; }
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
// in 65536 or less. A pattern is asked after the pair where its steps have
// let through one value in 256 or fewer: a step that stays lets through
// one in 256 or fewer, one that rises or falls about one in two. Since any
// of the changes asked for may pass, the latest of their pairs counts.
inline int PairsBeforeTest(const Selection& selection, int count) {
  int pairs = selection.ascending || selection.descending ? 6 : selection.step || !selection.pattern ? 2 : 1;
  if (selection.pattern) {
    int at = 1;
    for (int bits = 0; at < count - 1; ++at) {
      const uint8_t steps = selection.steps[at - 1];
      bits += steps == kStepStays ? 8 : steps == kStepRises || steps == kStepFalls ? 1 : 0;
      if (bits >= 8) break;
    }
    pairs = pairs > at ? pairs : at;
  }
  return pairs;
}

// Without a selection only differences count. A round of 128 bytes (eight
// vectors of 16 bytes, four of 32, two of 64) costs one test where it is
// all equal, the usual case between snapshots.
template <class Ops>
size_t FindDifferences(const uint8_t* const* blocks, int count, size_t length, uint32_t* indexes, size_t& at) {
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
    if (Ops::IsEmpty(Ops::NonZero(any))) continue;
#pragma GCC unroll 8
    for (size_t part = 0; part < kRound; ++part)
      found = AppendLanes(Ops::Bits(Ops::NonZero(parts[part])), at + part * kStep, indexes, found);
  }
  for (; at + kStep <= length; at += kStep)
    found = AppendLanes(Ops::Bits(Ops::NonZero(differing(at))), at, indexes, found);
  return found;
}

// What a pattern allows of the step from one file to the next, as sets of
// every lane or of none: rising, staying, falling.
template <class Ops>
struct PatternStep {
  typename Ops::Lanes rises, stays, falls, unordered;
};

// What the selection asks of the changes, as sets of every lane or of
// none, worked out once a block, so that the loops test no flags but the
// pattern's.
template <class Ops>
struct AskedChanges {
  typename Ops::Lanes unchosen;   // every lane when no change is chosen
  typename Ops::Lanes rises;      // -a
  typename Ops::Lanes falls;      // -d
  typename Ops::Lanes stepRises;  // -s: a step may rise
  typename Ops::Lanes stepFalls;  // -s: a step may fall
};

// The lanes that pass, from what the pairs so far said of each: still
// rising, falling, keeping the step, following the pattern, holding the
// known values.
template <class Ops, bool kStep, bool kKnown>
[[gnu::always_inline]] inline typename Ops::Lanes Passing(typename Ops::Lanes rising, typename Ops::Lanes falling,
                                                          typename Ops::Lanes stepKept, typename Ops::Lanes patternKept,
                                                          typename Ops::Lanes known, const AskedChanges<Ops>& asked) {
  // Changes chosen by -a, -d, -s and -p pass when any of them holds;
  // without any, every lane does, and the known values decide.
  typename Ops::Lanes selected =
      Ops::Or(asked.unchosen, Ops::Or(Ops::And(rising, asked.rises), Ops::And(falling, asked.falls)));
  if constexpr (kStep) {
    // A step needs a direction too: equal differences modulo 2^n are
    // equal steps only when all of them have one sign.
    const typename Ops::Lanes direction =
        Ops::Or(Ops::And(rising, asked.stepRises), Ops::And(falling, asked.stepFalls));
    selected = Ops::Or(selected, Ops::And(direction, stepKept));
  }
  selected = Ops::Or(selected, patternKept);
  if constexpr (kKnown) selected = Ops::And(selected, known);
  return selected;
}

// Known values as the kernels ask for them: a range a file (a single value
// is a range from it to itself), each bound in the form the lanes compare
// it in.
template <class Ops>
struct KnownTargets {
  typename Ops::Ordered lowest[kMostFiles];
  typename Ops::Ordered highest[kMostFiles];
};

template <class Ops>
[[gnu::always_inline]] inline typename Ops::Lanes Holds(typename Ops::Lanes known, typename Ops::Ordered value,
                                                        const KnownTargets<Ops>& targets, int k) {
  return Ops::And(known, Ops::Within(value, targets.lowest[k], targets.highest[k]));
}

// The positions from at that pass the selection, a bit each. Whether a
// step and known values are asked for is known at compile time, so that
// the loop over the inputs tests little else.
template <class Ops, bool kStep, bool kKnown>
[[gnu::always_inline]] inline uint64_t SelectedLanes(const uint8_t* const* blocks, int count, size_t at,
                                                     const KernelRule& rule, const AskedChanges<Ops>& asked,
                                                     const KnownTargets<Ops>& knownTargets,
                                                     const PatternStep<Ops>* pattern, int testAt) {
  using Vector = typename Ops::Ordered;
  using Lanes = typename Ops::Lanes;
  Vector previous = Ops::LoadOrdered(blocks[0] + at);
  Lanes rising = Ops::All(), falling = Ops::All(), stepKept = Ops::All(), known = Ops::All();
  // Without a pattern (null) no lane passes by one.
  Lanes patternKept = pattern != nullptr ? Ops::All() : Ops::None();
  if constexpr (kKnown) known = Holds<Ops>(known, previous, knownTargets, 0);
  Vector target = Ops::Splat(rule.stepModulo);
  // Any constant step: the one from the first file to the second.
  if (kStep && rule.anyStep) target = Ops::Minus(Ops::LoadOrdered(blocks[1] + at), previous);
  const auto take = [&](int k) {
    const Vector next = Ops::LoadOrdered(blocks[k] + at);
    const Lanes up = Ops::Greater(next, previous), down = Ops::Greater(previous, next);
    rising = Ops::And(rising, up);
    falling = Ops::And(falling, down);
    if constexpr (kStep) stepKept = Ops::And(stepKept, Ops::Equal(Ops::Minus(next, previous), target));
    if (pattern != nullptr) {
      const PatternStep<Ops>& step = pattern[k - 1];
      const Lanes same = Ops::Equal(next, previous);
      Lanes allowed = Ops::Or(Ops::And(up, step.rises), Ops::And(down, step.falls));
      allowed = Ops::Or(allowed, Ops::And(same, step.stays));
      // From or to a NaN none of the three holds.
      if constexpr (Ops::kReal) {
        allowed = Ops::Or(allowed, Ops::AndNot(step.unordered, Ops::Or(Ops::Or(up, down), same)));
      }
      patternKept = Ops::And(patternKept, allowed);
    }
    if constexpr (kKnown) known = Holds<Ops>(known, next, knownTargets, k);
    previous = next;
  };
  // The pairs up to the test, the test, then the rest: two loops that test
  // nothing inside.
  int k = 1;
  for (; k < count && k <= testAt; ++k) take(k);
  if (k < count && Ops::IsEmpty(Passing<Ops, kStep, kKnown>(rising, falling, stepKept, patternKept, known, asked)))
    return 0;
  for (; k < count; ++k) take(k);
  return Ops::Bits(Passing<Ops, kStep, kKnown>(rising, falling, stepKept, patternKept, known, asked));
}

template <class Ops>
size_t FindSelectedVector(const uint8_t* const* blocks, int count, size_t length, const Selection& selection,
                          uint32_t* indexes) {
  size_t at = 0;
  size_t found = 0;
  if (!AnySelection(selection)) {
    found = FindDifferences<Ops>(blocks, count, length, indexes, at);
  } else {
    const KernelRule rule = KernelRuleFor(selection);
    if (SelectsNothing(selection, rule)) return 0;
    KnownTargets<Ops> knownTargets;
    for (int k = 0; k < count; ++k) {
      knownTargets.lowest[k] = Ops::KnownLow(selection.lowest[k], selection.highest[k]);
      knownTargets.highest[k] = Ops::KnownHigh(selection.lowest[k], selection.highest[k]);
    }
    const auto every = [](bool yes) { return yes ? Ops::All() : Ops::None(); };
    const AskedChanges<Ops> asked = {
        .unchosen = every(!rule.byChange),
        .rises = every(selection.ascending),
        .falls = every(selection.descending),
        .stepRises = every(rule.anyStep || rule.direction > 0),
        .stepFalls = every(rule.anyStep || rule.direction <= 0),
    };
    PatternStep<Ops> pattern[kMostFiles - 1];
    for (int k = 0; k + 1 < count; ++k) {
      const uint8_t steps = selection.steps[k];
      pattern[k] = {every(steps & kStepRises), every(steps & kStepStays), every(steps & kStepFalls),
                    every(steps & kStepUnordered)};
    }
    const int testAt = PairsBeforeTest(selection, count);
    // Each combination of a step and known values gets a loop of its own,
    // chosen by type rather than through a pointer, so that the body is
    // inlined into it. A pattern is a branch that always goes one way,
    // which keeps the kernels half the size.
    const auto scan = [&](auto step, auto known) {
      for (; at + Ops::kVectorBytes <= length; at += Ops::kVectorBytes) {
        const uint64_t lanes = SelectedLanes<Ops, decltype(step)::value, decltype(known)::value>(
            blocks, count, at, rule, asked, knownTargets, selection.pattern ? pattern : nullptr, testAt);
        found = AppendLanes(lanes, at, indexes, found);
      }
    };
    const auto withKnown = [&](auto step) {
      selection.knownValues ? scan(step, std::true_type()) : scan(step, std::false_type());
    };
    // Real values take no steps.
    if constexpr (Ops::kReal) {
      withKnown(std::false_type());
    } else {
      rule.step ? withKnown(std::true_type()) : withKnown(std::false_type());
    }
  }
  // The tail that no whole vector covers.
  return FindSelectedOneByOne(blocks, count, at, length, selection, indexes, found);
}

// The kernel for a vector of kBytes bytes, for the width and byte order
// that the selection asks for.
template <int kBytes, class ByteBits>
size_t FindSelectedAnyWidth(const uint8_t* const* blocks, int count, size_t length, const Selection& selection,
                            uint32_t* indexes) {
  const auto find = [&](auto lanes) {
    return FindSelectedVector<decltype(lanes)>(blocks, count, length, selection, indexes);
  };
  const bool big = selection.bigEndian;
  // Real values are compared as numbers only when something beyond their
  // bytes is asked.
  if (selection.real && AnySelection(selection)) {
    if (selection.width == 4) {
      return big ? find(RealLanes<kBytes, float, int32_t, true, ByteBits>())
                 : find(RealLanes<kBytes, float, int32_t, false, ByteBits>());
    }
    return big ? find(RealLanes<kBytes, double, int64_t, true, ByteBits>())
               : find(RealLanes<kBytes, double, int64_t, false, ByteBits>());
  }
  switch (selection.width) {
    case 2:
      return big ? find(ValueLanes<kBytes, int16_t, true, ByteBits>())
                 : find(ValueLanes<kBytes, int16_t, false, ByteBits>());
    case 4:
      return big ? find(ValueLanes<kBytes, int32_t, true, ByteBits>())
                 : find(ValueLanes<kBytes, int32_t, false, ByteBits>());
    case 8:
      return big ? find(ValueLanes<kBytes, int64_t, true, ByteBits>())
                 : find(ValueLanes<kBytes, int64_t, false, ByteBits>());
    default:
      return find(ValueLanes<kBytes, int8_t, false, ByteBits>());
  }
}

}  // namespace
