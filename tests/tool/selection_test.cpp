#include "tool/selection.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

bool Selected(const std::vector<uint8_t>& bytes, const Selection& selection) {
  return IsSelected(bytes.data(), static_cast<int>(bytes.size()), selection);
}

// Rows with what each test says of them (different, rising, falling,
// constant step); every combination of -a, -d and -s must select exactly
// when one of its tests holds, none set: when the bytes differ.
TEST(SelectionTest, EveryCombinationOfSwitches) {
  const struct {
    std::vector<uint8_t> bytes;
    bool different, rises, falls, constantStep;
  } rows[] = {
      {{1, 2, 2}, 1, 0, 0, 0},          {{3, 2, 1}, 1, 0, 1, 1},
      {{1, 3, 2}, 1, 0, 0, 0},          {{5, 5, 5}, 0, 0, 0, 0},
      {{0x7F, 0x80}, 1, 1, 0, 1},       {{0x80, 0x7F}, 1, 0, 1, 1},  // bytes are unsigned
      {{1, 2, 4}, 1, 1, 0, 0},          {{0xFF, 0x00, 0x01}, 1, 0, 0, 0},  // +1 +1 only modulo 256
      {{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, 1, 1, 0, 1}, {{0, 0, 0, 0, 0, 0, 0, 0, 0, 1}, 1, 0, 0, 0},
  };
  for (const auto& row : rows) {
    for (int flags = 0; flags < 8; ++flags) {
      const bool a = flags & 1, d = flags & 2, s = flags & 4;
      const bool expected =
          flags == 0 ? row.different : (a && row.rises) || (d && row.falls) || (s && row.constantStep);
      EXPECT_EQ(Selected(row.bytes, Selection{a, d, s, true, 0}), expected)
          << "row from " << int(row.bytes[0]) << ", switches " << flags;
    }
  }
}

TEST(SelectionTest, StepOfGivenSize) {
  const struct {
    std::vector<uint8_t> bytes;
    int32_t size;
    bool expected;
  } cases[] = {
      {{1, 2, 3}, 1, true},   {{3, 2, 1}, -1, true}, {{3, 2, 1}, 1, false},       {{0, 255}, 255, true},
      {{255, 0}, -255, true}, {{255, 0}, 1, false},  {{5, 5}, 0, false},          {{2, 4, 6, 9}, 2, false},
      {{1, 2}, INT32_MIN, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Selected(c.bytes, Selection{false, false, true, false, c.size}), c.expected) << c.size;
  }
}

// The block-wide scan must agree with the per-position test at every
// length (word and stride tails), input count and density.
TEST(SelectionTest, BlockScanMatchesPositionTest) {
  std::mt19937 random(12345);
  const Selection selections[] = {{false, false, false, true, 0}, {true, false, false, true, 0},
                                  {false, true, true, false, 2}, {true, true, true, true, 0}};
  std::vector<uint32_t> indexes(65536);
  for (size_t length : {0, 1, 7, 8, 9, 31, 32, 33, 65, 1000, 65536}) {
    for (int count = 2; count <= kMostFiles; ++count) {
      for (int density : {0, 2, 60}) {
        // Equal, monotonic (rising or falling by position) or nearly equal rows.
        std::vector<std::vector<uint8_t>> data(count, std::vector<uint8_t>(length));
        for (size_t j = 0; j < length; ++j) {
          const bool differs = static_cast<int>(random() % 100) < density, monotonic = random() % 2;
          const uint8_t base = static_cast<uint8_t>(random());
          for (int k = 0; k < count; ++k) {
            data[k][j] = !differs    ? base
                         : monotonic ? uint8_t(100 + (j % 2 ? k : -k) * 2)
                                     : uint8_t(base + random() % 3);
          }
        }
        const uint8_t* blocks[kMostFiles];
        for (int k = 0; k < count; ++k) blocks[k] = data[k].data();
        for (const Selection& selection : selections) {
          std::vector<uint32_t> expected;
          for (size_t j = 0; j < length; ++j) {
            uint8_t row[kMostFiles];
            for (int k = 0; k < count; ++k) row[k] = data[k][j];
            if (IsSelected(row, count, selection)) expected.push_back(uint32_t(j));
          }
          const size_t found = FindSelected(blocks, count, length, selection, indexes.data());
          ASSERT_EQ(std::vector<uint32_t>(indexes.begin(), indexes.begin() + found), expected)
              << "length " << length << ", " << count << " inputs, density " << density;
        }
      }
    }
  }
}

}  // namespace
