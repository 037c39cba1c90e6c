// Every selection kernel against the per-position test, on blocks the fuzzer makes: the first bytes choose the inputs
// and the selection, the rest are the inputs' bytes side by side.
#include <cstdint>
#include <vector>
#include "comparison/selection.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  const int count = 2 + data[0] % (kMostFiles - 1);
  const Selection selection{(data[1] & 1) != 0, (data[1] & 2) != 0, (data[1] & 4) != 0, (data[1] & 8) != 0,
                            static_cast<int8_t>(data[2]) * ((data[1] & 16) ? 3 : 1)};
  const size_t length = (size - 3) / static_cast<size_t>(count);
  std::vector<std::vector<uint8_t>> inputs(count, std::vector<uint8_t>(length));
  const uint8_t* blocks[kMostFiles];
  std::vector<uint32_t> expected, indexes(length + 1);
  for (int k = 0; k < count; ++k) {
    for (size_t j = 0; j < length; ++j) inputs[k][j] = data[3 + j * count + k];
    blocks[k] = inputs[k].data();
  }
  for (size_t j = 0; j < length; ++j) {
    uint8_t row[kMostFiles];
    for (int k = 0; k < count; ++k) row[k] = inputs[k][j];
    if (IsSelected(row, count, selection)) expected.push_back(static_cast<uint32_t>(j));
  }
  for (int kernel = 0; kernel < SelectionKernelCount(); ++kernel) {
    UseSelectionKernel(kernel);
    const size_t found = FindSelected(blocks, count, length, selection, indexes.data());
    if (std::vector<uint32_t>(indexes.begin(), indexes.begin() + found) != expected) __builtin_trap();
  }
  return 0;
}
