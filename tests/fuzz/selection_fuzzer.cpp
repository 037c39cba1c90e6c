// Every selection kernel against the per-position test: the first bytes choose the inputs and the selection, the rest
// are the inputs' bytes side by side.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "comparison/selection.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  constexpr size_t kHeader = 4;
  if (size < kHeader) return 0;
  const int count = 2 + data[0] % (kMostFiles - 1);
  const int step = static_cast<int8_t>(data[2]) * ((data[1] & 16) ? 3 : 1);
  Selection selection{.ascending = (data[1] & 1) != 0,
                      .descending = (data[1] & 2) != 0,
                      .step = (data[1] & 4) != 0,
                      .anyStep = (data[1] & 8) != 0,
                      .stepSize = static_cast<uint64_t>(step < 0 ? -step : step),
                      .stepDown = step < 0,
                      .width = 1 << (data[3] & 3),
                      .bigEndian = (data[3] & 4) != 0,
                      .real = (data[3] & 64) != 0 && (data[3] & 3) >= 2 && (data[1] & 4) == 0,
                      .knownValues = (data[3] & 8) != 0,
                      .pattern = (data[3] & 32) != 0};
  // A pattern of rising, staying, falling, or anything (with bit 32 of the second byte, changing), two bits of the
  // step's byte a pair.
  const uint8_t last = (data[1] & 32) != 0 ? kStepRises | kStepFalls | kStepUnordered
                                           : kStepRises | kStepStays | kStepFalls | kStepUnordered;
  for (int k = 0; k + 1 < count; ++k) {
    const int steps = (data[2] >> (k % 4 * 2)) & 3;
    selection.steps[k] = steps == 3 ? last : 1 << steps;
  }
  const size_t length = (size - kHeader) / static_cast<size_t>(count);
  std::vector<std::vector<uint8_t>> inputs(count, std::vector<uint8_t>(length));
  const uint8_t* blocks[kMostFiles];
  for (int k = 0; k < count; ++k) {
    for (size_t j = 0; j < length; ++j) inputs[k][j] = data[kHeader + j * count + k];
    blocks[k] = inputs[k].data();
  }
  // Known values: those of the first whole value, or ranges from there up to the second's.
  const auto width = static_cast<size_t>(selection.width);
  for (int k = 0; k < count && length >= width; ++k) {
    selection.lowest[k] = selection.highest[k] = ValueAt(blocks[k], selection.width, selection.bigEndian);
    if ((data[3] & 16) != 0 && length >= 2 * width) {
      const uint64_t second = ValueAt(blocks[k] + width, selection.width, selection.bigEndian);
      selection.highest[k] = std::max(selection.lowest[k], second);
    }
  }
  std::vector<uint32_t> expected, indexes(length + 1);
  for (size_t j = 0; j + width <= length; j += width) {
    uint64_t values[kMostFiles];
    for (int k = 0; k < count; ++k) values[k] = ValueAt(blocks[k] + j, selection.width, selection.bigEndian);
    if (IsSelectedValues(values, count, selection)) expected.push_back(static_cast<uint32_t>(j));
  }
  for (int kernel = 0; kernel < SelectionKernelCount(); ++kernel) {
    UseSelectionKernel(kernel);
    const size_t found = FindSelected(blocks, count, length, selection, indexes.data());
    if (std::vector<uint32_t>(indexes.begin(), indexes.begin() + found) != expected) __builtin_trap();
  }
  return 0;
}
