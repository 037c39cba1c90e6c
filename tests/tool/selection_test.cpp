#include "comparison/selection.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <random>
#include <vector>

namespace {

constexpr uint8_t kUp = kStepRises, kSame = kStepStays, kDown = kStepFalls, kAny = 15;
constexpr uint64_t kTop = ~uint64_t{0};

uint64_t Bits(float number) { return std::bit_cast<uint32_t>(number); }

// The rule at one position where the random runs of the whole program do not reach: steps and ranges at the ends of
// 64 bits, real values that are zeros of either sign or NaNs.
TEST(Selection, RuleAtOnePosition) {
  const uint64_t nan = Bits(std::nanf("")), zero = Bits(0), minusZero = Bits(-0.0f), one = Bits(1);
  const std::tuple<std::vector<uint64_t>, Selection, bool> rows[] = {
      {{0, 1ull << 32, 2ull << 32}, {.step = true, .stepSize = 1ull << 32, .width = 8}, true},
      {{kTop, 0}, {.step = true, .stepSize = kTop, .stepDown = true, .width = 8}, true},
      {{0, kTop}, {.step = true, .stepSize = kTop, .width = 8}, true},
      {{kTop, 0}, {.step = true, .stepSize = 1ull << 63, .stepDown = true, .width = 8}, false},
      {{9, 0}, {.width = 8, .knownValues = true, .lowest = {9, 0}, .highest = {kTop, 0}}, true},
      {{minusZero, zero}, {.width = 4, .real = true}, true},
      {{nan, nan}, {.width = 4, .real = true}, false},
      {{minusZero, zero}, {.width = 4, .real = true, .pattern = true, .steps = {kSame}}, true},
      {{nan, nan}, {.width = 4, .real = true, .pattern = true, .steps = {kSame}}, false},
      {{nan, nan}, {.width = 4, .real = true, .pattern = true, .steps = {kStepUnordered}}, true},
      {{one, nan}, {.width = 4, .real = true, .pattern = true, .steps = {kUp | kDown}}, false},
      {{one, nan}, {.ascending = true, .width = 4, .real = true}, false},
      {{zero, minusZero},
       {.width = 4, .real = true, .knownValues = true, .lowest = {minusZero, zero}, .highest = {minusZero, zero}},
       true}};
  for (const auto& [values, selection, expected] : rows) {
    EXPECT_EQ(IsSelectedValues(values.data(), static_cast<int>(values.size()), selection), expected)
        << "row from " << values[0] << ", " << values[1];
  }
}

// Each instruction set's kernel against the per-position test, on bytes from the edges of the unsigned order and
// of the steps; where the processor lacks the set, its test shows as skipped. The fuzzers' seeds take every kernel
// through the wider values, byte orders, real values, patterns and known values.
class InstructionSets : public testing::TestWithParam<const char*> {};

TEST_P(InstructionSets, KernelSelectsWhatThePositionTestSelects) {
  int kernel = -1;
  for (int k = 0; k < SelectionKernelCount(); ++k) {
    if (SelectionKernelName(k) == std::string(GetParam())) kernel = k;
  }
  ASSERT_TRUE(kernel >= 0 || std::string(GetParam()) != "portable") << "every build has the portable kernel";
  if (kernel < 0) GTEST_SKIP() << "this processor, or this build, has no " << GetParam();
  UseSelectionKernel(kernel);
  std::mt19937 random(7);
  const uint8_t edges[] = {0, 1, 2, 127, 128, 254, 255};
  const Selection selections[] = {{},
                                  {.ascending = true},
                                  {.descending = true},
                                  {.step = true, .anyStep = true},
                                  {.step = true, .stepSize = 1},
                                  {.step = true, .stepSize = 255, .stepDown = true},
                                  {.step = true, .stepSize = 255},
                                  {.step = true, .stepSize = 256},
                                  {.ascending = true, .step = true, .stepSize = 2, .stepDown = true},
                                  {.pattern = true, .steps = {kSame, kUp | kDown, kUp, kDown, kAny, kUp, kDown, kAny}},
                                  {.knownValues = true,
                                   .lowest = {1, 0, 0, 2, 0, 0, 1, 0, 0, 0},
                                   .highest = {255, 0, 128, 2, 255, 1, 255, 255, 254, 255}}};
  for (int count = 2; count <= kMostFiles; ++count) {
    // Lengths about the vectors of 16, 32 and 64 bytes and their rounds of 128.
    for (size_t length : {0, 15, 64, 129, 4099}) {
      std::vector<std::vector<uint8_t>> data(count, std::vector<uint8_t>(length));
      for (size_t j = 0; j < length; ++j) {
        const int shape = static_cast<int>(random() % 3);
        const uint8_t base = edges[random() % 7], step = edges[random() % 7];
        for (int k = 0; k < count; ++k) {
          data[k][j] = shape == 0 ? base : shape == 1 ? base + k * step : edges[random() % 7];
        }
      }
      const uint8_t* blocks[kMostFiles];
      for (int k = 0; k < count; ++k) blocks[k] = data[k].data();
      std::vector<uint32_t> indexes(length + 1);
      for (const Selection& selection : selections) {
        std::vector<uint32_t> expected;
        for (uint32_t j = 0; j < length; ++j) {
          uint8_t row[kMostFiles];
          for (int k = 0; k < count; ++k) row[k] = data[k][j];
          if (IsSelected(row, count, selection)) expected.push_back(j);
        }
        const size_t found = FindSelected(blocks, count, length, selection, indexes.data());
        ASSERT_EQ(std::vector<uint32_t>(indexes.begin(), indexes.begin() + found), expected)
            << count << " inputs, length " << length << ", -a -d -s -p -v " << selection.ascending
            << selection.descending << selection.step << selection.pattern << selection.knownValues << ", step "
            << selection.stepSize;
      }
    }
  }
}
INSTANTIATE_TEST_SUITE_P(Kernels, InstructionSets, testing::Values("portable", "sse2", "avx2", "avx512bw"));

}  // namespace
