#include "runtime/file_checks.h"

#include "runtime/error_numbers.h"
#include "runtime/io_error.h"

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
