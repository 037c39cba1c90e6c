#include "tool/file_slots.h"

namespace {

// Static storage: the buffers exist before the run starts, so the
// comparison never allocates. Word alignment helps the block-wide scan.
alignas(64) uint8_t slotBuffers[kMostFiles][kBlockSize];

}  // namespace

FileSlot fileSlots[kMostFiles] = {
    {{}, {}, slotBuffers[0]}, {{}, {}, slotBuffers[1]}, {{}, {}, slotBuffers[2]},
    {{}, {}, slotBuffers[3]}, {{}, {}, slotBuffers[4]}, {{}, {}, slotBuffers[5]},
    {{}, {}, slotBuffers[6]}, {{}, {}, slotBuffers[7]}, {{}, {}, slotBuffers[8]},
    {{}, {}, slotBuffers[9]},
};

BlockValues blockValues;
