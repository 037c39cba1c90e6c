#include "comparison/engine.h"

#include <cstring>
#include <string>

#include "comparison/selection.h"
#include "report/report.h"
#include "runtime/files.h"
#include "runtime/io_error.h"
#include "shared/fatal_error.h"
#include "shared/run_settings.h"

namespace {

constexpr size_t kBlockSize = 65536;

struct FileSlot {
  std::string_view name;  // as it stood on the command line
  FileRecord file;
  uint8_t* buffer;  // kBlockSize bytes, fixed for the whole run
};

// Static storage: the buffers exist before the run starts, so the
// comparison never allocates. Each starts on a cache line, and a few
// lines further along than a whole number of blocks: buffers exactly
// 64 KiB apart would put the same index of every input into the same
// cache set, and ten inputs would evict each other while being compared.
constexpr size_t kStagger = 5 * 64;
alignas(64) uint8_t slotBuffers[kMostFiles][kBlockSize + kStagger];

FileSlot fileSlots[kMostFiles] = {
    {{}, {}, slotBuffers[0]}, {{}, {}, slotBuffers[1]}, {{}, {}, slotBuffers[2]}, {{}, {}, slotBuffers[3]},
    {{}, {}, slotBuffers[4]}, {{}, {}, slotBuffers[5]}, {{}, {}, slotBuffers[6]}, {{}, {}, slotBuffers[7]},
    {{}, {}, slotBuffers[8]}, {{}, {}, slotBuffers[9]},
};

struct ComparedLengths {
  int64_t shortestLength = INT64_MAX;
  int64_t remainingLength = 0;
  int64_t fullBlocks = 0;
  int64_t remainder = 0;
};

ComparedLengths lengths;

// Indexes of the selected positions of the current block.
uint32_t selectedIndexes[kBlockSize];

}  // namespace

void OpenInputs() {
  lengths = ComparedLengths();
  for (int k = 0; k < runSettings.fileCount; ++k) {
    FileSlot& slot = fileSlots[k];
    slot.name = runSettings.fileNames[k];
    OpenInputFile(slot.file, slot.name);
    // Whatever the reason, a refused input gets the tool's own message,
    // with the name whole as it was typed. An input held whose guard
    // against standard output failed stops with the error's number.
    if (!slot.file.open && TakeIoError() != 0) {
      FatalError("Can't open file: " + std::string(slot.name));
    }
    int64_t length = FileLength(slot.file);
    CheckIo();
    if (length < lengths.shortestLength) lengths.shortestLength = length;
  }
}

void StartAtOffset() {
  int64_t offset = runSettings.startOffset;
  if (lengths.shortestLength < offset) FatalError("Nothing to compare");
  if (offset != 0) {
    for (int k = 0; k < runSettings.fileCount; ++k) {
      SeekFile(fileSlots[k].file, offset);
      CheckIo();
    }
  }
  lengths.remainingLength = lengths.shortestLength - offset;
  lengths.fullBlocks = lengths.remainingLength / static_cast<int64_t>(kBlockSize);
  lengths.remainder = lengths.remainingLength % static_cast<int64_t>(kBlockSize);
}

// The last position a whole value starts at; positions step by the width
// from the start offset. Without any value, the last byte.
int64_t LargestComparedPosition() {
  const int64_t width = runSettings.selection.width;
  const int64_t values = lengths.remainingLength / width;
  return values > 0 ? runSettings.startOffset + (values - 1) * width : lengths.shortestLength - 1;
}

void CompareBlocks() {
  const int count = runSettings.fileCount;
  const Selection& selection = runSettings.selection;
  const uint8_t* blocks[kMostFiles];
  for (int k = 0; k < count; ++k) blocks[k] = fileSlots[k].buffer;
  // A block holds whole values (the block size is a multiple of every
  // width); bytes after the last whole value are never read.
  const size_t width = static_cast<size_t>(selection.width);
  uint8_t bytes[kMostFiles * sizeof(uint64_t)];

  const int64_t fullBlocks = lengths.fullBlocks;
  for (int64_t block = 0; block <= fullBlocks; ++block) {
    size_t length = block == fullBlocks ? static_cast<size_t>(lengths.remainder) : kBlockSize;
    length -= length % width;
    if (length == 0) break;
    for (int k = 0; k < count; ++k) {
      ReadFileBlock(fileSlots[k].file, fileSlots[k].buffer, length);
      CheckIo();
    }
    size_t selected = FindSelected(blocks, count, length, selection, selectedIndexes);
    const int64_t blockStart = block * static_cast<int64_t>(kBlockSize) + runSettings.startOffset;
    for (size_t i = 0; i < selected; ++i) {
      uint32_t index = selectedIndexes[i];
      if (width == 1) {
        for (int k = 0; k < count; ++k) bytes[k] = blocks[k][index];
      } else {
        for (int k = 0; k < count; ++k) std::memcpy(bytes + k * width, blocks[k] + index, width);
      }
      WriteDifferenceLine(blockStart + index, bytes, count);
    }
  }
}

void CloseInputs() {
  for (int k = 0; k < runSettings.fileCount; ++k) {
    CloseFile(fileSlots[k].file);
    CheckIo();
  }
}
