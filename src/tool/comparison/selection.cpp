// The selection rule, per position and over whole blocks: the per-position
// test here is the reference every block kernel is measured by.
#include "comparison/selection.h"

#include "comparison/kernels/selection_kernels.h"

namespace {

// The tests below take integers, or real values as the numbers they are:
// then -0 equals +0, and a NaN neither rises, nor falls, nor equals
// anything.
template <class Number>
bool Rises(const Number* values, int count) {
  for (int k = 1; k < count; ++k) {
    if (!(values[k] > values[k - 1])) return false;
  }
  return true;
}

template <class Number>
bool Falls(const Number* values, int count) {
  for (int k = 1; k < count; ++k) {
    if (!(values[k] < values[k - 1])) return false;
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
  return up != selection.stepDown && size == selection.stepSize;
}

template <class Number>
bool FollowsPattern(const Number* values, int count, const Selection& selection) {
  for (int k = 1; k < count; ++k) {
    const Number from = values[k - 1], to = values[k];
    const uint8_t step = to > from ? kStepRises : to < from ? kStepFalls : to == from ? kStepStays : kStepUnordered;
    if ((selection.steps[k - 1] & step) == 0) return false;
  }
  return true;
}

template <class Number>
bool HoldsKnownValues(const Number* values, const Number* lowest, const Number* highest, int count) {
  for (int k = 0; k < count; ++k) {
    if (!(lowest[k] <= values[k] && values[k] <= highest[k])) return false;
  }
  return true;
}

bool ChoosesByChange(const Selection& selection) {
  return selection.ascending || selection.descending || selection.step || selection.pattern;
}

// values are the values' bits, x the numbers they stand for.
template <class Number>
bool Selects(const Number* x, const Number* lowest, const Number* highest, const uint64_t* values, int count,
             const Selection& selection) {
  if (selection.knownValues && !HoldsKnownValues(x, lowest, highest, count)) return false;
  if (ChoosesByChange(selection)) {
    return (selection.ascending && Rises(x, count)) || (selection.descending && Falls(x, count)) ||
           (selection.step && StepsMatch(values, count, selection)) ||
           (selection.pattern && FollowsPattern(x, count, selection));
  }
  // The known values decide for themselves; else a value's bytes must
  // differ somewhere.
  if (selection.knownValues) return true;
  for (int k = 1; k < count; ++k) {
    if (values[k] != values[0]) return true;
  }
  return false;
}

}  // namespace

bool IsSelectedValues(const uint64_t* values, int count, const Selection& selection) {
  if (!selection.real) return Selects(values, selection.lowest, selection.highest, values, count, selection);
  double numbers[kMostFiles], lowest[kMostFiles], highest[kMostFiles];
  for (int k = 0; k < count; ++k) {
    numbers[k] = RealValue(values[k], selection.width);
    lowest[k] = RealValue(selection.lowest[k], selection.width);
    highest[k] = RealValue(selection.highest[k], selection.width);
  }
  return Selects(numbers, lowest, highest, values, count, selection);
}

bool IsSelected(const uint8_t* bytes, int count, const Selection& selection) {
  uint64_t values[kMostFiles];
  for (int k = 0; k < count; ++k) values[k] = bytes[k];
  return IsSelectedValues(values, count, selection);
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

bool AnySelection(const Selection& selection) { return ChoosesByChange(selection) || selection.knownValues; }

bool SelectsNothing(const Selection& selection, const KernelRule& rule) {
  return ChoosesByChange(selection) && !selection.ascending && !selection.descending && !rule.step &&
         !selection.pattern;
}

KernelRule KernelRuleFor(const Selection& selection) {
  KernelRule rule;
  rule.byChange = ChoosesByChange(selection);
  if (!selection.step) return rule;
  if (selection.anyStep) {
    rule.step = true;
    rule.anyStep = true;
    return rule;
  }
  // A step of 0 never differs, and one beyond the largest value no two
  // values make.
  const uint64_t size = selection.stepSize;
  const uint64_t largest = LargestValue(selection.width);
  if (size == 0 || size > largest) return rule;
  rule.step = true;
  rule.direction = selection.stepDown ? -1 : 1;
  rule.stepModulo = (selection.stepDown ? 0 - size : size) & largest;
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

size_t FindSelected(const uint8_t* const* blocks, int count, size_t length, const Selection& selection,
                    uint32_t* indexes) {
  if (chosen == nullptr) {
    // The fastest kernel is listed last.
    ListKernels();
    chosen = kernels[kernelCount - 1].find;
  }
  return chosen(blocks, count, length, selection, indexes);
}
