// The step from a set of lanes to bits, one bit a byte, for x86 vectors of
// 16, 32 and 64 bytes. Only the size that a kernel file is compiled for is
// ever instantiated there, so each file needs its own instruction set alone.
#pragma once

#include <immintrin.h>

#include <cstdint>

namespace {

struct X86ByteBits {
  template <class Bytes>
  static uint64_t Of(Bytes bytes) {
    if constexpr (sizeof(Bytes) == 16) {
      return static_cast<uint32_t>(_mm_movemask_epi8(reinterpret_cast<__m128i>(bytes)));
    } else if constexpr (sizeof(Bytes) == 32) {
      return static_cast<uint32_t>(_mm256_movemask_epi8(reinterpret_cast<__m256i>(bytes)));
    } else {
      return _mm512_movepi8_mask(reinterpret_cast<__m512i>(bytes));
    }
  }
};

}  // namespace
