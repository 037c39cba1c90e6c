#include "comparison/selection.h"
#include <gtest/gtest.h>
#include <bit>
#include <cmath>
#include <random>
#include <vector>

namespace {

// -s:n, n counted in values of the width, and -p with one set of steps a pair.
Selection Step(int64_t n) {
  return {.step = true, .stepSize = n < 0 ? 0 - static_cast<uint64_t>(n) : static_cast<uint64_t>(n), .stepDown = n < 0};
}
Selection Pattern(std::vector<uint8_t> steps, Selection selection = {}) {
  selection.pattern = true;
  std::copy(steps.begin(), steps.end(), selection.steps);
  return selection;
}
Selection Known(std::vector<uint64_t> values, Selection selection = {}) {
  selection.knownValues = true;
  std::copy(values.begin(), values.end(), selection.lowest);
  std::copy(values.begin(), values.end(), selection.highest);
  return selection;
}
Selection Within(std::vector<std::pair<uint64_t, uint64_t>> ranges, Selection selection = {}) {
  selection.knownValues = true;
  for (size_t k = 0; k < ranges.size(); ++k) std::tie(selection.lowest[k], selection.highest[k]) = ranges[k];
  return selection;
}

// Real values of 4 bytes: the bits of each number, the known ones as single values or ranges.
uint64_t Bits(float value) { return std::bit_cast<uint32_t>(value); }
Selection Real(Selection selection = {}) {
  selection.real = true;
  selection.width = 4;
  return selection;
}

// Rows with what each test says of them (different, rising, falling, constant step): every combination of -a, -d and
// -s selects exactly when one of its tests holds, none set when the bytes differ; then -s:n.
TEST(Selection, EveryCombinationOfSwitchesAndStepSizes) {
  const std::tuple<std::vector<uint8_t>, bool, bool, bool, bool> rows[] = {
      {{1, 2, 2}, 1, 0, 0, 0},    {{3, 2, 1}, 1, 0, 1, 1},       {{1, 3, 2}, 1, 0, 0, 0}, {{5, 5, 5}, 0, 0, 0, 0},
      {{0x7F, 0x80}, 1, 1, 0, 1}, {{0x80, 0x7F}, 1, 0, 1, 1},  // bytes are unsigned
      {{1, 2, 4}, 1, 1, 0, 0},    {{0xFF, 0x00, 0x01}, 1, 0, 0, 0},  // +1 +1 only modulo 256
      {{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, 1, 1, 0, 1}, {{0, 0, 0, 0, 0, 0, 0, 0, 0, 1}, 1, 0, 0, 0}};
  for (const auto& [bytes, different, rises, falls, constantStep] : rows) {
    for (int flags = 0; flags < 8; ++flags) {
      const bool a = flags & 1, d = flags & 2, s = flags & 4;
      EXPECT_EQ(IsSelected(bytes.data(), static_cast<int>(bytes.size()), {.ascending = a, .descending = d, .step = s, .anyStep = true}),
                flags == 0 ? different : (a && rises) || (d && falls) || (s && constantStep))
          << "row from " << int(bytes[0]) << ", switches " << flags;
    }
  }
  const std::tuple<std::vector<uint8_t>, int64_t, bool> steps[] = {
      {{1, 2, 3}, 1, true},  {{3, 2, 1}, -1, true}, {{3, 2, 1}, 1, false},      {{0, 255}, 255, true},  {{255, 0}, -255, true},
      {{255, 0}, 1, false},  {{5, 5}, 0, false},    {{2, 4, 6, 9}, 2, false},    {{1, 2}, INT32_MIN, false}};
  for (const auto& [bytes, size, expected] : steps) {
    EXPECT_EQ(IsSelected(bytes.data(), static_cast<int>(bytes.size()), Step(size)), expected) << size;
  }
}

// -p asks a step of each pair, '+' rising, '=' staying, '-' falling, or a set of them, and passes unchanged values
// too; beside -a the two are either. -v narrows what the others choose, and alone lists where every file holds its
// value, changed or not. Steps of up to 64 bits, either way.
TEST(Selection, PatternsKnownValuesThatNarrowAndWideSteps) {
  const uint8_t up = kStepRises, same = kStepStays, down = kStepFalls, changes = up | down, any = up | same | down;
  const Selection ascending = {.ascending = true}, descending = {.descending = true};
  const std::tuple<std::vector<uint64_t>, Selection, bool> rows[] = {
      {{1, 1}, Pattern({same}), true},        {{1, 2}, Pattern({same}), false},
      {{1, 2, 2, 1}, Pattern({up, same, down}), true},   {{1, 2, 3, 1}, Pattern({up, same, down}), false},
      {{5, 9, 5}, Pattern({changes, changes}), true},    {{5, 5, 5}, Pattern({changes, any}), false},
      {{5, 5, 7}, Pattern({any, up}), true},  {{2, 1}, Pattern({up}, ascending), false},
      {{2, 1}, Pattern({down}, ascending), true},        {{1, 2}, Pattern({down}, ascending), true},
      {{3, 3}, Known({3, 3}), true},          {{3, 4}, Known({3, 3}), false},
      {{1, 2}, Known({1, 2}), true},          {{1, 2}, Known({1, 2}, ascending), true},
      {{2, 1}, Known({2, 1}, ascending), false},         {{2, 1}, Known({2, 1}, descending), true},
      {{4, 4}, Known({4, 4}, Pattern({same})), true},    {{4, 4}, Known({4, 5}, Pattern({same})), false},
      {{3, 3}, Known({3, 3}, Step(0)), false},
      {{5, 7}, Within({{0, 5}, {7, 9}}), true},         {{5, 10}, Within({{0, 5}, {7, 9}}), false},
      {{4, 7}, Within({{5, 9}, {7, 9}}), false},        {{9, 0}, Within({{9, ~0ull}, {0, 0}}), true},
      {{6, 6}, Within({{6, 6}, {0, ~0ull}}), true},     {{1, 2}, Within({{0, 1}, {2, 2}}, ascending), true},
      {{2, 2}, Within({{2, 2}, {2, 2}}, ascending), false},
      {{0, 1ull << 32, 2ull << 32}, Step(int64_t{1} << 32), true}, {{0, 1ull << 32, 2ull << 32}, Step(1), false},
      {{~0ull, 0}, Step(INT64_MIN), false},  {{~0ull, 0}, Selection{.step = true, .stepSize = ~0ull, .stepDown = true}, true},
      {{0, ~0ull}, Selection{.step = true, .stepSize = ~0ull}, true}};
  for (const auto& [values, selection, expected] : rows) {
    Selection wide = selection;
    wide.width = 8;
    EXPECT_EQ(IsSelectedValues(values.data(), static_cast<int>(values.size()), wide), expected)
        << values[0] << " " << values[1] << " pattern " << selection.pattern << " known " << selection.knownValues;
  }
}

// Real values compare as numbers: -0 equals +0, a NaN neither rises, nor falls, nor equals anything, and a step
// from or to it is a change; negative values order the other way round from their bits. Without a selection the
// bytes decide.
TEST(Selection, RealValuesAsNumbers) {
  const float nan = std::nanf(""), inf = INFINITY;
  const uint8_t up = kStepRises, same = kStepStays, down = kStepFalls, changes = up | down | kStepUnordered;
  const Selection ascending = Real({.ascending = true}), descending = Real({.descending = true});
  const std::tuple<std::vector<float>, Selection, bool> rows[] = {
      {{-0.0f, 0.0f}, Real(), true},                     {{nan, nan}, Real(), false},
      {{-0.0f, 0.0f}, Real(Pattern({same})), true},      {{nan, nan}, Real(Pattern({same})), false},
      {{nan, nan}, Real(Pattern({changes})), true},      {{1, nan}, Real(Pattern({up | down})), false},
      {{1, nan}, ascending, false},                      {{nan, 1}, descending, false},
      {{-1, -2}, descending, true},                      {{-1, -2}, ascending, false},
      {{-inf, 0, inf}, ascending, true},                 {{1.5f, 2.5f, 2.5f}, ascending, false},
      {{0.0f, -0.0f}, Real(Known({Bits(-0.0f), Bits(0.0f)})), true},
      {{0.1f, 7}, Real(Within({{Bits(0), Bits(1)}, {Bits(7), Bits(inf)}})), true},
      {{nan, 7}, Real(Within({{Bits(-inf), Bits(inf)}, {Bits(7), Bits(inf)}})), false},
      {{-2, 7}, Real(Within({{Bits(-3), Bits(-1)}, {Bits(6), Bits(8)}})), true}};
  for (const auto& [numbers, selection, expected] : rows) {
    std::vector<uint64_t> values;
    for (float number : numbers) values.push_back(Bits(number));
    EXPECT_EQ(IsSelectedValues(values.data(), static_cast<int>(values.size()), selection), expected)
        << numbers[0] << " " << numbers[1] << " pattern " << selection.pattern << " known " << selection.knownValues;
  }
}

const Selection kSelections[] = {
    {},
    {.ascending = true},
    {.descending = true},
    {.ascending = true, .descending = true},
    {.step = true, .anyStep = true},
    Step(1),
    Step(-1),
    Step(255),
    Step(-255),
    Step(0),
    Step(300),
    {.ascending = true, .step = true, .stepSize = 2, .stepDown = true},
    {.ascending = true, .descending = true, .step = true, .anyStep = true},
    Pattern({kStepStays, kStepRises | kStepFalls, kStepRises, kStepFalls, kStepStays | kStepRises, kStepRises, kStepFalls,
             kStepStays | kStepFalls, kStepRises | kStepStays | kStepFalls}),
    Pattern({kStepRises | kStepStays | kStepFalls, kStepRises, kStepRises, kStepRises, kStepRises, kStepRises, kStepRises,
             kStepRises, kStepRises},
            {.step = true, .stepSize = 1})};

// Every kernel this processor runs gives exactly the positions of the per-position test.
void ExpectKernelsAgree(const std::vector<std::vector<uint8_t>>& data, size_t length, const std::string& what) {
  const int count = static_cast<int>(data.size());
  const uint8_t* blocks[kMostFiles];
  for (int k = 0; k < count; ++k) blocks[k] = data[k].data();
  std::vector<uint32_t> indexes(length + 1);
  for (const Selection& selection : kSelections) {
    std::vector<uint32_t> expected;
    for (size_t j = 0; j < length; ++j) {
      uint8_t row[kMostFiles];
      for (int k = 0; k < count; ++k) row[k] = data[k][j];
      if (IsSelected(row, count, selection)) expected.push_back(uint32_t(j));
    }
    for (int kernel = 0; kernel < SelectionKernelCount(); ++kernel) {
      UseSelectionKernel(kernel);
      const size_t found = FindSelected(blocks, count, length, selection, indexes.data());
      ASSERT_EQ(std::vector<uint32_t>(indexes.begin(), indexes.begin() + found), expected)
          << SelectionKernelName(kernel) << ": " << what << ", length " << length << ", " << count << " inputs, selection "
          << selection.ascending << selection.descending << selection.step << selection.anyStep << " step " << selection.stepSize
          << " pattern " << selection.pattern;
    }
  }
  UseSelectionKernel(SelectionKernelCount() - 1);
}

// Random blocks at every length around the vector widths and the block size (equal, monotonic,
// stepping or nearly equal rows), with rows on the edges of the unsigned compares and the step
// arithmetic written in at the first and last lanes of the vectors and all through the tail.
TEST(Kernels, EveryKernelMatchesThePositionTest) {
  const std::vector<std::vector<uint8_t>> crafted = {
      {0, 255}, {255, 0}, {0x7F, 0x80}, {0x80, 0x7F}, {0, 255, 0}, {255, 0, 255},
      {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, {0, 1, 2, 3, 4, 5, 5, 7, 8, 9},  // rises at every step but one
      {9, 8, 7, 6, 5, 4, 3, 2, 1, 0}, {9, 8, 7, 6, 5, 4, 3, 3, 1, 0},
      {0, 255, 254}, {255, 0, 1}, {1, 0, 255}, {254, 255, 0},  // +-1 only modulo 256
      {0, 128, 0, 128}, {0, 200, 144}, {200, 0, 56},           // equal modulo 256, not in plain integers
      {10, 20, 30, 40, 50, 60, 70, 80, 90, 100}, {250, 251, 252, 253, 254, 255, 0, 1, 2, 3}, {5, 5, 6}, {6, 5, 5}};
  std::mt19937 random(12345);
  for (size_t length : {0, 1, 7, 15, 16, 17, 31, 32, 33, 63, 64, 65, 127, 128, 129, 143, 150, 175, 191, 1000, 65536}) {
    for (int count = 2; count <= kMostFiles; ++count) {
      for (int density : {0, 2, 60, 100}) {
        std::vector<std::vector<uint8_t>> data(count, std::vector<uint8_t>(length));
        for (size_t j = 0; j < length; ++j) {
          const bool differs = static_cast<int>(random() % 100) < density;
          const int shape = static_cast<int>(random() % 4), step = static_cast<int>(random() % 5) - 2;
          const uint8_t base = static_cast<uint8_t>(random());
          for (int k = 0; k < count; ++k) {
            data[k][j] = !differs ? base : shape == 0 ? uint8_t(100 + (j % 2 ? k : -k) * 2) : shape == 1 ? uint8_t(base + k * step)
                                         : shape == 2 ? uint8_t(random()) : uint8_t(base + random() % 3);
          }
        }
        for (const std::vector<uint8_t>& row : crafted) {
          if (density != 2 || row.size() != static_cast<size_t>(count)) continue;
          for (size_t j = 0; j < length; j += j < 128 ? 1 : 1 + j % 3) {
            for (int k = 0; (j >= 128 || j == 0 || j == 15 || j == 31 || j == 63 || j == 64 || j == 127) && k < count; ++k) data[k][j] = row[k];
          }
          ASSERT_NO_FATAL_FAILURE(ExpectKernelsAgree(data, length, "row from " + std::to_string(row[0])));
        }
        ASSERT_NO_FATAL_FAILURE(ExpectKernelsAgree(data, length, "density " + std::to_string(density)));
      }
    }
  }
}

// Every kernel against the per-position test on values of one width, table[j] holding the values at value j: each
// selection taken with the width, byte order and kind of values of form.
void ExpectKernelsAgreeOnValues(const std::vector<std::vector<uint8_t>>& data, const std::vector<std::vector<uint64_t>>& table,
                                const std::vector<Selection>& selections, const Selection& form) {
  const int count = static_cast<int>(data.size());
  const uint8_t* blocks[kMostFiles];
  for (int k = 0; k < count; ++k) blocks[k] = data[k].data();
  std::vector<uint32_t> indexes(data[0].size() + 1);
  for (Selection selection : selections) {
    selection.width = form.width;
    selection.bigEndian = form.bigEndian;
    selection.real = form.real;
    std::vector<uint32_t> expected;
    for (size_t j = 0; j < table.size(); ++j)
      if (IsSelectedValues(table[j].data(), count, selection)) expected.push_back(uint32_t(j * form.width));
    for (int kernel = 0; kernel < SelectionKernelCount(); ++kernel) {
      UseSelectionKernel(kernel);
      const size_t found = FindSelected(blocks, count, data[0].size(), selection, indexes.data());
      ASSERT_EQ(std::vector<uint32_t>(indexes.begin(), indexes.begin() + found), expected)
          << SelectionKernelName(kernel) << ": width " << form.width << " big " << form.bigEndian << " real " << form.real
          << ", step " << selection.stepSize << " pattern " << selection.pattern << " known " << selection.knownValues;
    }
  }
  UseSelectionKernel(SelectionKernelCount() - 1);
}

// Values of 2, 4 and 8 bytes in either order (rising, falling, stepping across carries, random, nearly equal) and
// known values taken from the data, against the per-position test on values put together here.
TEST(Kernels, ValuesOfEveryWidthMatchThePositionTest) {
  std::mt19937_64 random(2026);
  for (int round = 0; round < 48; ++round) {
    const int width = 2 << (round % 3), count = 2 + static_cast<int>(random() % 9);
    const bool big = round % 2;
    const size_t values = 1 + random() % 300, length = values * width + random() % width;  // a part value at the end
    const uint64_t top = width == 8 ? ~uint64_t{0} : (uint64_t{1} << (8 * width)) - 1;
    std::vector<std::vector<uint8_t>> data(count, std::vector<uint8_t>(length, 0x5A));
    std::vector<std::vector<uint64_t>> table(values, std::vector<uint64_t>(count));
    for (size_t j = 0; j < values; ++j) {
      const uint64_t base = random(), step = random() % 3 == 0 ? random() : random() % 300, shape = random() % 5;
      for (int k = 0; k < count; ++k) {
        const uint64_t v = (shape == 0 ? base : shape == 1 ? base + k * step : shape == 2 ? base - k * step
                            : shape == 3 ? random() : base + random() % 2) & top;
        table[j][k] = v;
        for (int i = 0; i < width; ++i) data[k][j * width + (big ? width - 1 - i : i)] = static_cast<uint8_t>(v >> (8 * i));
      }
    }
    std::vector<Selection> selections(std::begin(kSelections), std::end(kSelections));
    for (int64_t size : {int64_t{256}, int64_t{-256}, int64_t{65536}, int64_t{70000}, int64_t{1} << 32, -(int64_t{1} << 40)})
      selections.push_back(Step(size));
    for (const Selection& with : {Selection{}, Selection{.ascending = true}, Pattern({kStepStays})}) {
      // known values taken from the data, alone, with -a, and with a pattern; then all the same; then ranges
      // around values of the data, reaching the width's ends
      selections.push_back(Known(table[values / 2], with));
      selections.push_back(Known(std::vector<uint64_t>(count, table[values / 3][0]), with));
      std::vector<std::pair<uint64_t, uint64_t>> ranges;
      for (int k = 0; k < count; ++k) {
        const uint64_t v = table[values / 4][k], near = k % 3 == 0 ? 0 : k % 3 == 1 ? 300 : top / 4;
        ranges.emplace_back(v < near ? 0 : v - near, top - v < near ? top : v + near);
      }
      selections.push_back(Within(ranges, with));
      // every file but the first holding its known value
      selections.push_back(Known(table[values / 2], with));
      selections.back().lowest[0] = selections.back().highest[0] = ~table[values / 2][0] & top;
    }
    selections.push_back(Pattern(std::vector<uint8_t>(count - 1, kStepRises | kStepFalls)));
    ASSERT_NO_FATAL_FAILURE(ExpectKernelsAgreeOnValues(data, table, selections, {.width = width, .bigEndian = big}))
        << "round " << round;
  }
  UseSelectionKernel(SelectionKernelCount() - 1);
}

// Real values of 4 and 8 bytes in either order, with NaNs, zeros of either sign and infinities among them, against
// the per-position test: rising, falling, patterns, known values and ranges.
TEST(Kernels, RealValuesMatchThePositionTest) {
  std::mt19937_64 random(1971);
  const double specials[] = {0.0, -0.0, NAN, -NAN, INFINITY, -INFINITY, 1.0, -1.0, 0.5, 1e-40};
  for (int round = 0; round < 32; ++round) {
    const int width = round % 2 ? 8 : 4, count = 2 + static_cast<int>(random() % 9);
    const bool big = round % 4 >= 2;
    const size_t values = 1 + random() % 200, length = values * width;
    std::vector<std::vector<uint8_t>> data(count, std::vector<uint8_t>(length));
    std::vector<std::vector<uint64_t>> table(values, std::vector<uint64_t>(count));
    for (size_t j = 0; j < values; ++j) {
      const double base = specials[random() % 10] * (1 + static_cast<double>(random() % 5));
      const int shape = static_cast<int>(random() % 4);
      for (int k = 0; k < count; ++k) {
        const double number = shape == 0 ? base : shape == 1 ? base + k : shape == 2 ? specials[random() % 10] : base - k;
        const uint64_t bits = width == 4 ? std::bit_cast<uint32_t>(static_cast<float>(number)) : std::bit_cast<uint64_t>(number);
        table[j][k] = bits;
        for (int i = 0; i < width; ++i) data[k][j * width + (big ? width - 1 - i : i)] = static_cast<uint8_t>(bits >> (8 * i));
      }
    }
    const auto bits = [&](double number) {
      return width == 4 ? uint64_t{std::bit_cast<uint32_t>(static_cast<float>(number))} : std::bit_cast<uint64_t>(number);
    };
    std::vector<Selection> selections = {{}, {.ascending = true}, {.descending = true}, {.ascending = true, .descending = true},
                                         Pattern(std::vector<uint8_t>(count - 1, kStepStays)),
                                         Pattern(std::vector<uint8_t>(count - 1, kStepRises | kStepFalls | kStepUnordered)),
                                         Known(table[values / 2]), Known(table[values / 3], {.ascending = true})};
    std::vector<std::pair<uint64_t, uint64_t>> ranges;
    for (int k = 0; k < count; ++k) ranges.emplace_back(bits(k % 2 ? -INFINITY : -1.0), bits(k % 3 ? 2.0 : INFINITY));
    selections.push_back(Within(ranges));
    ASSERT_NO_FATAL_FAILURE(
        ExpectKernelsAgreeOnValues(data, table, selections, {.width = width, .bigEndian = big, .real = true}))
        << "round " << round;
  }
  UseSelectionKernel(SelectionKernelCount() - 1);
}

// The kernels above are those this processor runs; each instruction set's own is named here, so that where the
// processor lacks the set its test shows as skipped rather than passing unseen.
class InstructionSets : public testing::TestWithParam<const char*> {};

TEST_P(InstructionSets, KernelAgreesWhereTheProcessorHasIt) {
  int kernel = -1;
  for (int k = 0; k < SelectionKernelCount(); ++k) kernel = std::string(SelectionKernelName(k)) == GetParam() ? k : kernel;
  if (kernel < 0) GTEST_SKIP() << "this processor, or this build, has no " << GetParam();
  std::mt19937 random(7);
  std::vector<std::vector<uint8_t>> data(3, std::vector<uint8_t>(4099));
  for (auto& input : data) {
    for (uint8_t& byte : input) byte = static_cast<uint8_t>(random() % 4);
  }
  const uint8_t* blocks[] = {data[0].data(), data[1].data(), data[2].data()};
  std::vector<uint32_t> indexes(4100), expected;
  for (const Selection& selection : {Selection{}, Selection{.ascending = true, .descending = true}, Step(1)}) {
    expected.clear();
    for (uint32_t j = 0; j < 4099; ++j) {
      const uint8_t row[] = {data[0][j], data[1][j], data[2][j]};
      if (IsSelected(row, 3, selection)) expected.push_back(j);
    }
    UseSelectionKernel(kernel);
    const size_t found = FindSelected(blocks, 3, 4099, selection, indexes.data());
    EXPECT_EQ(std::vector<uint32_t>(indexes.begin(), indexes.begin() + found), expected) << GetParam();
  }
  UseSelectionKernel(SelectionKernelCount() - 1);
}
INSTANTIATE_TEST_SUITE_P(Kernels, InstructionSets, testing::Values("sse2", "avx2", "avx512bw"));

}  // namespace
