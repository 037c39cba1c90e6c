#include "tool/file_slots.h"

namespace {

// Static storage: the buffers exist before the run starts, so the
// comparison never allocates. Each starts on a cache line, and a few
// lines further along than a whole number of blocks: buffers exactly
// 64 KiB apart would put the same index of every input into the same
// cache set, and ten inputs would evict each other while being compared.
constexpr size_t kStagger = 5 * 64;
alignas(64) uint8_t slotBuffers[kMostFiles][kBlockSize + kStagger];

}  // namespace

FileSlot fileSlots[kMostFiles] = {
    {{}, {}, slotBuffers[0]}, {{}, {}, slotBuffers[1]}, {{}, {}, slotBuffers[2]},
    {{}, {}, slotBuffers[3]}, {{}, {}, slotBuffers[4]}, {{}, {}, slotBuffers[5]},
    {{}, {}, slotBuffers[6]}, {{}, {}, slotBuffers[7]}, {{}, {}, slotBuffers[8]},
    {{}, {}, slotBuffers[9]},
};

BlockValues blockValues;
