#include "report/report_stream.h"

#include "runtime/files.h"
#include "runtime/io_error.h"
#include "runtime/run_time.h"

namespace {

constexpr size_t kDeviceWrite = 256;
constexpr size_t kFileBuffer = 1 << 20;

FileRecord destination;
bool open = false;
char buffer[kFileBuffer];
size_t held = 0;  // away from a character device; on one, nothing is held

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
  open = true;
  SetHandOverAtEnd(HandOverAtEnd);
}

bool ReportShowsUtf8() { return destination.showsUtf8; }

char* ReserveInReport(size_t most) {
  if (kFileBuffer - held < most) HandOverBuffer();
  return buffer + held;
}

void CommitToReport(const size_t* ends, int count) {
  if (!destination.characterDevice) {
    held += ends[count - 1];
    return;
  }
  // Nothing is held here, so the room began at the buffer's start.
  size_t from = 0;
  for (int piece = 0; piece < count; ++piece) {
    while (from < ends[piece]) {
      const size_t length = ends[piece] - from < kDeviceWrite ? ends[piece] - from : kDeviceWrite;
      WriteFileBytes(destination, buffer + from, length);
      CheckIo();
      from += length;
    }
  }
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
