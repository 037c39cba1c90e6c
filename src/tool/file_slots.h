// The ten file slots and the block values of the comparison.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "runtime/files.h"
#include "tool/run_settings.h"

constexpr size_t kBlockSize = 65536;

struct FileSlot {
  std::string_view name;  // as it stood on the command line
  FileRecord file;
  uint8_t* buffer;        // kBlockSize bytes, fixed for the whole run
};

extern FileSlot fileSlots[kMostFiles];

struct BlockValues {
  int64_t shortestLength = INT64_MAX;
  int64_t remainingLength = 0;
  int64_t fullBlocks = 0;
  int64_t remainder = 0;
};

extern BlockValues blockValues;
