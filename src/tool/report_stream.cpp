#include "tool/report_stream.h"

#include <cstring>

#include "runtime/files.h"
#include "runtime/io_error.h"
#include "runtime/run_time.h"

namespace {

// A terminal gets each step as soon as it is complete; everything else
// gets few large writes, since one system call per short piece would
// dominate the run time of a large report.
constexpr size_t kDeviceBuffer = 256;
constexpr size_t kFileBuffer = 1 << 20;

FileRecord destination;
bool open = false;
char buffer[kFileBuffer];
size_t capacity = 0;  // kDeviceBuffer or kFileBuffer, by the destination
size_t held = 0;

// The buffer counts as empty before the write, so a failed hand-over is
// never repeated by the hand-over at the end of the run.
// Kept out of line, so that the checks before it stay short.
[[gnu::noinline]] void HandOverBuffer() {
  size_t count = held;
  held = 0;
  if (count == 0) return;
  WriteFileBytes(destination, buffer, count);
  CheckIo();
}

// Runs on every ending while the stream is open, so lines already written
// reach the destination even when the run stops. It must not stop again,
// so it does not check: the shut-down clears the pending number before
// and after it, and a failure here is dropped.
void HandOverAtEnd() {
  if (!open || held == 0) return;
  size_t count = held;
  held = 0;
  WriteFileBytes(destination, buffer, count);
}

}  // namespace

void OpenReportStream(std::string_view name) {
  destination = FileRecord();
  held = 0;
  if (name.empty()) {
    AttachStandardOutput(destination);
  } else {
    CreateReportFile(destination, name);
  }
  CheckIo();
  capacity = destination.characterDevice ? kDeviceBuffer : kFileBuffer;
  open = true;
  SetHandOverAtEnd(HandOverAtEnd);
}

bool ReportGoesToDevice() { return destination.characterDevice; }

bool ReportShowsUtf8() { return destination.showsUtf8; }

void AppendToReport(std::string_view piece) {
  while (piece.size() > capacity - held) {
    size_t room = capacity - held;
    std::memcpy(buffer + held, piece.data(), room);
    held = capacity;
    piece.remove_prefix(room);
    HandOverBuffer();
  }
  std::memcpy(buffer + held, piece.data(), piece.size());
  held += piece.size();
}

char* ReserveInReport(size_t most) {
  if (capacity - held < most) HandOverBuffer();
  return buffer + held;
}

void CommitToReport(size_t used) { held += used; }

void EndReportStep() {
  if (destination.characterDevice) HandOverBuffer();
}

void CloseReportStream() {
  HandOverBuffer();
  open = false;
  // Standard output and character devices stay open: only a file of the
  // report's own is released.
  if (destination.ownsHandle && !destination.characterDevice) {
    CloseFile(destination);
    CheckIo();
  }
}
