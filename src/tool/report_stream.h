// The report stream: its destination, its buffer and when the buffer is
// handed to the platform.
#pragma once

#include <cstddef>
#include <string_view>

#include "runtime/files.h"

// On a character device (file.characterDevice) every step is handed over;
// a destination that shows UTF-8 (file.showsUtf8) gets its bytes translated.
struct ReportStream {
  FileRecord file;
  bool open = false;
  size_t capacity = 0;
  size_t held = 0;
  char* buffer = nullptr;  // capacity bytes, held of them in use
};

extern ReportStream reportStream;

// Opens the destination; a failure is a run-time error stop.
void OpenReportStream(std::string_view name);

// Appends a piece; a full buffer is handed over and the piece continues in
// the emptied buffer.
void AppendToReport(std::string_view piece);

// Room for size bytes at the end of the buffer, written in place and then
// committed; null when the buffer has less room left, and then the text
// must go through AppendToReport, which fills the buffer before handing
// it over.
inline char* ReportRoom(size_t size) {
  return reportStream.capacity - reportStream.held >= size ? reportStream.buffer + reportStream.held
                                                           : nullptr;
}
inline void CommitToReport(size_t size) { reportStream.held += size; }

// Ends a write step: on a character device the buffer goes out at once.
void EndReportStep();

// Hands over what the buffer holds, then releases a file of its own.
void CloseReportStream();
