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
      {{1, 2, 2}, {.ascending = true}, false},
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
      {{zero, minusZero}, {.width = 4, .real = true, .knownValues = true, .lowest = {minusZero, zero},
                           .highest = {minusZero, zero}}, true}};
  for (const auto& [values, selection, expected] : rows) {
    EXPECT_EQ(IsSelectedValues(values.data(), static_cast<int>(values.size()), selection), expected)
        << "row from " << values[0] << ", " << values[1];
  }
}

// Values for one position of count inputs: all alike, stepping (across the width's ends too), from the edges
// of the unsigned order, random, or nearly alike; real ones among zeros of either sign, NaNs and infinities.
std::vector<uint64_t> Row(std::mt19937_64& random, int count, const Selection& form) {
  const uint64_t top = form.width == 8 ? kTop : (uint64_t{1} << 8 * form.width) - 1;
  const uint64_t edges[] = {0, 1, top / 2, top / 2 + 1, top - 1, top, random(), random() % 4};
  const double specials[] = {0.0, -0.0, NAN, -NAN, INFINITY, -INFINITY, 1.0, -1.0, 0.5, 1e-40};
  const uint64_t shape = random() % 6, base = edges[random() % 8], step = edges[random() % 8] % 300;
  const double number = specials[random() % 10];
  std::vector<uint64_t> row;
  for (int k = 0; k < count; ++k) {
    const double x = shape < 2 ? number : shape == 2 ? number + k : shape == 3 ? number - k : specials[random() % 10];
    const uint64_t bits = form.width == 4 ? std::bit_cast<uint32_t>(static_cast<float>(x)) : std::bit_cast<uint64_t>(x);
    const uint64_t v = shape < 2 ? base : shape == 2 ? base + k * step : shape == 3 ? base - k * step
                       : shape == 4 ? edges[random() % 8] : base + random() % 2;
    row.push_back(form.real ? bits : v & top);
  }
  return row;
}

// The kernels any processor runs, and each instruction set's own: where the processor lacks the set, its test
// shows as skipped.
class InstructionSets : public testing::TestWithParam<const char*> {};

// Blocks of every length around the vectors and their rounds, of 2 to 10 inputs, values of every width in
// either byte order, against the per-position test on the values the blocks were made from.
TEST_P(InstructionSets, KernelSelectsWhatThePositionTestSelects) {
  int kernel = -1;
  for (int k = 0; k < SelectionKernelCount(); ++k) {
    if (SelectionKernelName(k) == std::string(GetParam())) kernel = k;
  }
  if (kernel < 0) GTEST_SKIP() << "this processor, or this build, has no " << GetParam();
  UseSelectionKernel(kernel);
  std::mt19937_64 random(2026);
  const Selection forms[] = {{.width = 1},
                             {.width = 2},
                             {.width = 2, .bigEndian = true},
                             {.width = 4},
                             {.width = 4, .bigEndian = true},
                             {.width = 8},
                             {.width = 8, .bigEndian = true},
                             {.width = 4, .real = true},
                             {.width = 4, .bigEndian = true, .real = true},
                             {.width = 8, .real = true},
                             {.width = 8, .bigEndian = true, .real = true}};
  for (const Selection& form : forms) {
    const uint64_t top = form.width == 8 ? kTop : (uint64_t{1} << 8 * form.width) - 1;
    for (int count : {2, 3, 7, 10}) {
      for (size_t length : {0, 7, 64, 127, 128, 129, 321, 4100}) {
        const size_t values = length / form.width;
        std::vector<std::vector<uint64_t>> table;
        std::vector<std::vector<uint8_t>> data(count, std::vector<uint8_t>(length, 0x5A));
        for (size_t j = 0; j < values; ++j) {
          // Half of the sets of blocks differ at one value in 64, so that a difference often stands alone.
          const bool differs = random() % 64 < (length % 2 ? 32u : 1u);
          table.push_back(differs ? Row(random, count, form) : std::vector<uint64_t>(count, random() & top));
          for (int k = 0; k < count; ++k) {
            for (int i = 0; i < form.width; ++i) {
              data[k][j * form.width + (form.bigEndian ? form.width - 1 - i : i)] = uint8_t(table[j][k] >> 8 * i);
            }
          }
        }
        const std::vector<uint64_t> known = values ? table[values / 2] : std::vector<uint64_t>(count);
        std::vector<Selection> selections = {
            {},
            {.ascending = true},
            {.descending = true},
            {.ascending = true, .descending = true},
            {.pattern = true, .steps = {kSame, kUp | kDown | kStepUnordered, kUp, kDown, kSame | kUp, kUp, kAny}},
            {.ascending = true, .pattern = true, .steps = {kAny, kSame, kSame, kDown, kDown, kAny, kAny, kAny, kUp}}};
        // Known values from the data, alone, with -a or with a pattern; exact, or ranges around them that reach
        // the width's ends at times (for real values, up from or down to an infinity).
        const auto real = [&](double x) { return form.width == 4 ? Bits(float(x)) : std::bit_cast<uint64_t>(x); };
        for (const Selection& with : {Selection{}, Selection{.ascending = true},
                                      Selection{.pattern = true, .steps = {kSame, kAny, kAny, kAny, kAny, kAny}}}) {
          Selection exact = with, ranges = with;
          exact.knownValues = ranges.knownValues = true;
          for (int k = 0; k < count; ++k) {
            const uint64_t v = known[k], near = k % 3 == 0 ? 0 : k % 3 == 1 ? 300 : top / 4;
            exact.lowest[k] = exact.highest[k] = v;
            ranges.lowest[k] = form.real ? (k % 2 ? real(-INFINITY) : v) : v < near ? 0 : v - near;
            ranges.highest[k] = form.real ? (k % 2 ? v : real(INFINITY)) : top - v < near ? top : v + near;
          }
          selections.push_back(exact);
          selections.push_back(ranges);
        }
        if (!form.real) {
          for (uint64_t size : {uint64_t{0}, uint64_t{1}, uint64_t{300}, top, top + 1}) {
            selections.push_back({.step = true, .stepSize = size});
            selections.push_back({.step = true, .stepSize = size, .stepDown = true});
          }
          selections.push_back({.step = true, .anyStep = true});
          selections.push_back({.ascending = true, .step = true, .stepSize = 2, .stepDown = true});
          selections.push_back({.step = true, .stepSize = 1, .pattern = true, .steps = {kAny, kUp, kUp, kUp, kUp}});
        }
        std::vector<uint32_t> indexes(length + 1);
        for (Selection selection : selections) {
          selection.width = form.width;
          selection.bigEndian = form.bigEndian;
          selection.real = form.real;
          std::vector<uint32_t> expected;
          for (size_t j = 0; j < values; ++j) {
            if (IsSelectedValues(table[j].data(), count, selection)) expected.push_back(uint32_t(j * form.width));
          }
          const uint8_t* blocks[kMostFiles];
          for (int k = 0; k < count; ++k) blocks[k] = data[k].data();
          const size_t found = FindSelected(blocks, count, length, selection, indexes.data());
          ASSERT_EQ(std::vector<uint32_t>(indexes.begin(), indexes.begin() + found), expected)
              << "width " << form.width << " big " << form.bigEndian << " real " << form.real << ", " << count
              << " inputs, length " << length << ", -a -d -s -p -v: " << selection.ascending << selection.descending
              << selection.step << selection.pattern << selection.knownValues << ", step " << selection.stepSize;
        }
      }
    }
  }
}
INSTANTIATE_TEST_SUITE_P(Kernels, InstructionSets, testing::Values("portable", "sse2", "avx2", "avx512bw"));

}  // namespace
