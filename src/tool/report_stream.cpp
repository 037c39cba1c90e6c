#include "tool/report_stream.h"

#include <cstring>

#include "runtime/io_error.h"
#include "runtime/run_time.h"

ReportStream reportStream;

namespace {

// A terminal gets each step as soon as it is complete; everything else
// gets few large writes, since one system call per short piece would
// dominate the run time of a large report.
constexpr size_t kDeviceBuffer = 256;
constexpr size_t kFileBuffer = 1 << 20;

char storage[kFileBuffer];

// The buffer counts as empty before the write, so a failed hand-over is
// never repeated by the hand-over at the end of the run.
void HandOverBuffer() {
  size_t count = reportStream.held;
  reportStream.held = 0;
  if (count == 0) return;
  WriteFileBytes(reportStream.file, storage, count);
  CheckIo();
}

// Runs on every ending while the stream is open, so lines already written
// reach the destination even when the run stops. It must not stop again,
// so it does not check: the shut-down clears the pending number before
// and after it, and a failure here is dropped.
void HandOverAtEnd() {
  if (!reportStream.open || reportStream.held == 0) return;
  size_t count = reportStream.held;
  reportStream.held = 0;
  WriteFileBytes(reportStream.file, storage, count);
}

}  // namespace

void OpenReportStream(std::string_view name) {
  reportStream = ReportStream();
  if (name.empty()) {
    AttachStandardOutput(reportStream.file);
  } else {
    CreateReportFile(reportStream.file, name);
  }
  CheckIo();
  reportStream.capacity = reportStream.file.characterDevice ? kDeviceBuffer : kFileBuffer;
  reportStream.buffer = storage;
  reportStream.open = true;
  SetHandOverAtEnd(HandOverAtEnd);
}

void AppendToReport(std::string_view piece) {
  while (piece.size() > reportStream.capacity - reportStream.held) {
    size_t room = reportStream.capacity - reportStream.held;
    std::memcpy(storage + reportStream.held, piece.data(), room);
    reportStream.held = reportStream.capacity;
    piece.remove_prefix(room);
    HandOverBuffer();
  }
  std::memcpy(storage + reportStream.held, piece.data(), piece.size());
  reportStream.held += piece.size();
}

void EndReportStep() {
  if (reportStream.file.characterDevice) HandOverBuffer();
}

void CloseReportStream() {
  HandOverBuffer();
  reportStream.open = false;
  // Standard output and character devices stay open: only a file of the
  // report's own is released.
  if (reportStream.file.ownsHandle && !reportStream.file.characterDevice) {
    CloseFile(reportStream.file);
    CheckIo();
  }
}
