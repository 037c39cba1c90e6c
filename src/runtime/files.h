// File and text operations of the run-time layer. Every operation stores
// its failure in the pending error number and does nothing while a number
// is pending; the caller checks with CheckIo or TakeIoError.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "runtime/process.h"

struct FileRecord {
  intptr_t handle = -1;  // the platform's handle
  bool open = false;
  bool ownsHandle = false;       // false for standard output, which is never closed
  bool characterDevice = false;  // the console, a terminal, the null device
  bool showsUtf8 = false;        // shows text as UTF-8 (a Linux terminal), so bytes
                                 // outside it are sent as the characters they stand for
};

// Opens an existing file for reading and writing, held against every other
// opener for as long as it is open. Standard output put onto it takes
// nothing from then on; should that fail, the input is left open with the
// failure stored, and the caller stops.
void OpenInputFile(FileRecord& file, std::string_view name);

// Creates or empties the report under its name, held like an input; the
// name "con" reaches the console device.
void CreateReportFile(FileRecord& file, std::string_view name);

// The process's standard output as an open output file.
void AttachStandardOutput(FileRecord& file);

// True when the stream is a character device (a terminal, the console,
// the null device) rather than a file or a pipe: the same test that sets
// FileRecord.characterDevice. Safe in a fault handler.
bool StandardStreamIsCharacterDevice(StandardStream stream);

// From now on an input that standard error reaches puts standard error on
// the null device, as one that standard output reaches does standard output.
void KeepStandardErrorOffInputs();

// Length in bytes of a disk file; a device or a pipe measures 0.
int64_t FileLength(FileRecord& file);

// Positions at a byte offset from the start of the file.
void SeekFile(FileRecord& file, int64_t position);

// Reads exactly count bytes; a file that ends sooner is error 100.
void ReadFileBlock(FileRecord& file, uint8_t* buffer, size_t count);

// Hands bytes to the platform as a text stream: any shortfall is error 101.
void WriteFileBytes(FileRecord& file, const void* bytes, size_t count);

// Releases the file; closing never fails.
void CloseFile(FileRecord& file);
