// The selection rule, per position and over whole blocks. The portable
// block kernel here is the reference the vector kernels are measured by.
#include "comparison/selection.h"

#include <bit>
#include <cstring>

#include "comparison/kernels/selection_kernels.h"

namespace {

using Word = uint64_t;
constexpr size_t kWordBytes = sizeof(Word);
// Equal runs are skipped this many bytes at a time.
constexpr size_t kStrideBytes = 4 * kWordBytes;

Word LoadWord(const uint8_t* at) {
  Word word;
  std::memcpy(&word, at, sizeof word);
  return word;
}

// Bits set wherever some block's word differs from the first block's.
Word DifferenceBits(const uint8_t* const* blocks, int count, size_t at) {
  Word first = LoadWord(blocks[0] + at);
  Word bits = 0;
  for (int k = 1; k < count; ++k) bits |= LoadWord(blocks[k] + at) ^ first;
  return bits;
}

// Appends the index of every differing byte of one word, lowest address
// first whatever the byte order of the machine.
size_t AppendDifferingBytes(Word bits, size_t at, uint32_t* indexes,
                            size_t found) {
  while (bits != 0) {
    int byte;
    if constexpr (std::endian::native == std::endian::little) {
      byte = std::countr_zero(bits) / 8;
    } else {
      byte = std::countl_zero(bits) / 8;
    }
    indexes[found++] = static_cast<uint32_t>(at + byte);
    int shift = std::endian::native == std::endian::little
                    ? byte * 8
                    : (static_cast<int>(kWordBytes) - 1 - byte) * 8;
    bits &= ~(Word{0xFF} << shift);
  }
  return found;
}

bool Rises(const uint64_t* values, int count) {
  for (int k = 1; k < count; ++k) {
    if (values[k] <= values[k - 1]) return false;
  }
  return true;
}

bool Falls(const uint64_t* values, int count) {
  for (int k = 1; k < count; ++k) {
    if (values[k] >= values[k - 1]) return false;
  }
  return true;
}

// Steps are plain integers, so nothing wraps around: the same step from
// each value to the next is a run that rises or falls throughout by it.
bool StepsMatch(const uint64_t* values, int count, const Selection& selection) {
  const bool up = values[1] > values[0];
  if (up ? !Rises(values, count) : !Falls(values, count)) return false;
  const uint64_t size = up ? values[1] - values[0] : values[0] - values[1];
  for (int k = 2; k < count; ++k) {
    if ((up ? values[k] - values[k - 1] : values[k - 1] - values[k]) != size) return false;
  }
  if (selection.anyStep) return true;
  const int64_t wanted = selection.stepSize;
  return up ? wanted > 0 && size == static_cast<uint64_t>(wanted)
            : wanted < 0 && size == static_cast<uint64_t>(-wanted);
}

bool HoldsKnownValues(const uint64_t* values, int count, const Selection& selection) {
  for (int k = 0; k < count; ++k) {
    if (values[k] != selection.values[k]) return false;
  }
  return true;
}

// The tests beyond "different"; values are known to differ somewhere.
bool PassesSelection(const uint64_t* values, int count, const Selection& selection) {
  return (selection.ascending && Rises(values, count)) ||
         (selection.descending && Falls(values, count)) ||
         (selection.step && StepsMatch(values, count, selection)) ||
         (selection.knownValues && HoldsKnownValues(values, count, selection));
}

size_t FindDifferences(const uint8_t* const* blocks, int count, size_t length,
                       uint32_t* indexes) {
  size_t found = 0;
  size_t at = 0;
  for (; at + kStrideBytes <= length; at += kStrideBytes) {
    Word bits[4];
    for (size_t w = 0; w < 4; ++w) {
      bits[w] = DifferenceBits(blocks, count, at + w * kWordBytes);
    }
    if ((bits[0] | bits[1] | bits[2] | bits[3]) == 0) continue;
    for (size_t w = 0; w < 4; ++w) {
      found = AppendDifferingBytes(bits[w], at + w * kWordBytes, indexes, found);
    }
  }
  for (; at + kWordBytes <= length; at += kWordBytes) {
    found = AppendDifferingBytes(DifferenceBits(blocks, count, at), at,
                                 indexes, found);
  }
  for (; at < length; ++at) {
    for (int k = 1; k < count; ++k) {
      if (blocks[k][at] != blocks[0][at]) {
        indexes[found++] = static_cast<uint32_t>(at);
        break;
      }
    }
  }
  return found;
}

size_t KeepSelected(const uint8_t* const* blocks, int count,
                    const Selection& selection, uint32_t* indexes,
                    size_t found) {
  if (!AnySelection(selection)) return found;
  size_t kept = 0;
  uint64_t values[kMostFiles];
  for (size_t i = 0; i < found; ++i) {
    uint32_t index = indexes[i];
    for (int k = 0; k < count; ++k) values[k] = blocks[k][index];
    if (PassesSelection(values, count, selection)) indexes[kept++] = index;
  }
  return kept;
}

}  // namespace

bool IsSelectedValues(const uint64_t* values, int count, const Selection& selection) {
  bool different = false;
  for (int k = 1; k < count && !different; ++k) different = values[k] != values[0];
  if (!different) return false;
  return !AnySelection(selection) || PassesSelection(values, count, selection);
}

bool IsSelected(const uint8_t* bytes, int count, const Selection& selection) {
  uint64_t values[kMostFiles];
  for (int k = 0; k < count; ++k) values[k] = bytes[k];
  return IsSelectedValues(values, count, selection);
}

// Bytes: the differing positions a word at a time, then the selection.
// Wider values: one value at a time.
size_t FindSelectedPortable(const uint8_t* const* blocks, int count, size_t length,
                            const Selection& selection, uint32_t* indexes) {
  if (selection.width != 1) return FindSelectedOneByOne(blocks, count, 0, length, selection, indexes, 0);
  size_t found = FindDifferences(blocks, count, length, indexes);
  return KeepSelected(blocks, count, selection, indexes, found);
}

size_t FindSelectedOneByOne(const uint8_t* const* blocks, int count, size_t from, size_t length,
                            const Selection& selection, uint32_t* indexes, size_t found) {
  const size_t width = static_cast<size_t>(selection.width);
  uint64_t values[kMostFiles];
  for (size_t at = from; at + width <= length; at += width) {
    for (int k = 0; k < count; ++k) values[k] = ValueAt(blocks[k] + at, selection.width, selection.bigEndian);
    if (IsSelectedValues(values, count, selection)) indexes[found++] = static_cast<uint32_t>(at);
  }
  return found;
}

bool AnySelection(const Selection& selection) {
  return selection.ascending || selection.descending || selection.step || selection.knownValues;
}

bool SelectsNothing(const Selection& selection, const KernelRule& rule) {
  return !selection.ascending && !selection.descending && !rule.step && !rule.known;
}

KernelRule KernelRuleFor(const Selection& selection, int count) {
  KernelRule rule;
  // Known values that are all the same are never different.
  for (int k = 1; selection.knownValues && k < count && !rule.known; ++k)
    rule.known = selection.values[k] != selection.values[0];
  if (!selection.step) return rule;
  if (selection.anyStep) {
    rule.step = true;
    rule.anyStep = true;
    return rule;
  }
  // A step of 0 never differs, and one beyond the largest value no two
  // values make.
  const int64_t size = selection.stepSize;
  const uint64_t largest = LargestValue(selection.width);
  const uint64_t magnitude = size < 0 ? static_cast<uint64_t>(-size) : static_cast<uint64_t>(size);
  if (size == 0 || magnitude > largest) return rule;
  rule.step = true;
  rule.direction = size > 0 ? 1 : -1;
  rule.stepModulo = static_cast<uint64_t>(size) & largest;
  return rule;
}

namespace {

// Filled on first use: the portable kernel, then what the processor offers.
constexpr int kMostKernels = 8;
KernelEntry kernels[kMostKernels];
int kernelCount = 0;
BlockKernel chosen = nullptr;

void ListKernels() {
  if (kernelCount != 0) return;
  kernels[0] = KernelEntry{"portable", FindSelectedPortable};
  kernelCount = 1 + ProcessorKernels(kernels + 1, kMostKernels - 1);
}

}  // namespace

int SelectionKernelCount() {
  ListKernels();
  return kernelCount;
}

const char* SelectionKernelName(int kernel) {
  ListKernels();
  return kernel >= 0 && kernel < kernelCount ? kernels[kernel].name : "";
}

void UseSelectionKernel(int kernel) {
  ListKernels();
  if (kernel >= 0 && kernel < kernelCount) chosen = kernels[kernel].find;
}

size_t FindSelected(const uint8_t* const* blocks, int count, size_t length,
                    const Selection& selection, uint32_t* indexes) {
  if (chosen == nullptr) {
    // The fastest kernel is listed last.
    ListKernels();
    chosen = kernels[kernelCount - 1].find;
  }
  return chosen(blocks, count, length, selection, indexes);
}
