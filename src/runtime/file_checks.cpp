#include "runtime/file_checks.h"

#include "runtime/error_numbers.h"
#include "runtime/io_error.h"
#include "runtime/write_all.h"

namespace {

constexpr size_t kLongestName = 255;

}  // namespace

bool ReadyForUse(const FileRecord& file) {
  if (PendingIoError() != 0) return false;
  if (!file.open) {
    StoreIoError(kErrorFileNotOpen);
    return false;
  }
  return true;
}

bool PathForName(std::string_view name, std::string& path) {
  if (name.size() > kLongestName) {
    StoreIoError(kErrorNameTooLong);
    return false;
  }
  if (name.find('\0') != std::string_view::npos) {
    StoreIoError(kErrorInvalidName);
    return false;
  }
  path.assign(name);
  return true;
}

void WriteFileBytes(FileRecord& file, const void* bytes, size_t count) {
  if (!ReadyForUse(file)) return;
  // A text stream reports every shortfall alike, whatever the cause.
  if (!WriteAll(file.handle, bytes, count)) StoreIoError(kErrorDiskWrite);
}

void CloseFile(FileRecord& file) {
  if (PendingIoError() != 0 || !file.open) return;
  // A failing close has nothing left to report: the data was handed over
  // by the writes, and the handle is gone either way.
  if (file.ownsHandle) ReleaseHandle(file.handle);
  file.open = false;
  file.ownsHandle = false;
  file.handle = -1;
}
