#include "runtime/files.h"

#include <windows.h>

#include <string>

#include "runtime/error_numbers.h"
#include "runtime/file_checks.h"
#include "runtime/io_error.h"

namespace {

// ReadFile and WriteFile take 32-bit counts; larger transfers go in pieces.
constexpr size_t kLargestTransfer = 1u << 30;

HANDLE HandleOf(const FileRecord& file) { return reinterpret_cast<HANDLE>(file.handle); }

void StoreLastError() { StoreIoError(TranslatePlatformError(static_cast<int>(GetLastError()))); }

bool IsCharacterDevice(HANDLE handle) { return GetFileType(handle) == FILE_TYPE_CHAR; }

bool IsDiskFile(HANDLE handle) { return GetFileType(handle) == FILE_TYPE_DISK; }

void ClassifyOpenFile(FileRecord& file, HANDLE handle, bool owned) {
  file.handle = reinterpret_cast<intptr_t>(handle);
  file.open = true;
  file.ownsHandle = owned;
  file.characterDevice = IsCharacterDevice(handle);
  // The console shows every byte as its code page has it: nothing is
  // translated on the way.
  file.showsUtf8 = false;
}

void OpenWithCreateFile(FileRecord& file, std::string_view name, DWORD access, DWORD disposition) {
  if (PendingIoError() != 0) return;
  // Both separators and the device names ("con", "nul", ...) are the
  // platform's own business.
  std::string path;
  if (!SignificantPath(name, path)) return;
  // Share mode 0: while the tool holds the file, every other open of it
  // fails, and the tool's open fails while another opener holds it.
  const HANDLE handle = CreateFileA(path.c_str(), access, 0, nullptr, disposition,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    StoreLastError();
    return;
  }
  ClassifyOpenFile(file, handle, true);
}

}  // namespace

void OpenInputFile(FileRecord& file, std::string_view name) {
  OpenWithCreateFile(file, name, GENERIC_READ | GENERIC_WRITE, OPEN_EXISTING);
}

void CreateReportFile(FileRecord& file, std::string_view name) {
  // An input of this run is held without sharing, so naming it here fails
  // with a sharing violation before anything is truncated.
  OpenWithCreateFile(file, name, GENERIC_WRITE, CREATE_ALWAYS);
}

void AttachStandardOutput(FileRecord& file) {
  if (PendingIoError() != 0) return;
  const HANDLE handle = GetStdHandle(STD_OUTPUT_HANDLE);
  if (handle == INVALID_HANDLE_VALUE || handle == nullptr) {
    StoreIoError(6);  // invalid handle
    return;
  }
  ClassifyOpenFile(file, handle, false);
}

bool StandardOutputIsCharacterDevice() { return IsCharacterDevice(GetStdHandle(STD_OUTPUT_HANDLE)); }

int64_t FileLength(FileRecord& file) {
  if (!ReadyForUse(file)) return 0;
  if (!IsDiskFile(HandleOf(file))) return 0;
  LARGE_INTEGER size;
  if (!GetFileSizeEx(HandleOf(file), &size)) {
    StoreLastError();
    return 0;
  }
  return size.QuadPart;
}

void SeekFile(FileRecord& file, int64_t position) {
  if (!ReadyForUse(file)) return;
  if (position < 0) {
    StoreIoError(kErrorNegativeSeek);
    return;
  }
  // Devices and pipes have no position; they measure 0, so the only place
  // they are put at is their start.
  if (!IsDiskFile(HandleOf(file))) return;
  LARGE_INTEGER distance;
  distance.QuadPart = position;
  if (!SetFilePointerEx(HandleOf(file), distance, nullptr, FILE_BEGIN)) StoreLastError();
}

void ReadFileBlock(FileRecord& file, uint8_t* buffer, size_t count) {
  if (!ReadyForUse(file)) return;
  size_t done = 0;
  while (done < count) {
    const size_t asked = count - done < kLargestTransfer ? count - done : kLargestTransfer;
    DWORD delivered = 0;
    if (!ReadFile(HandleOf(file), buffer + done, static_cast<DWORD>(asked), &delivered, nullptr)) {
      // A pipe whose writer has gone has simply come to its end.
      if (GetLastError() != ERROR_BROKEN_PIPE) {
        StoreLastError();
        return;
      }
      delivered = 0;
    }
    if (delivered == 0) {
      // The data ended before the block did.
      StoreIoError(kErrorShortRead);
      return;
    }
    done += delivered;
  }
}

void WriteFileBytes(FileRecord& file, const void* bytes, size_t count) {
  if (!ReadyForUse(file)) return;
  const auto* next = static_cast<const uint8_t*>(bytes);
  while (count > 0) {
    const size_t asked = count < kLargestTransfer ? count : kLargestTransfer;
    DWORD written = 0;
    if (!WriteFile(HandleOf(file), next, static_cast<DWORD>(asked), &written, nullptr) ||
        written == 0) {
      // A text stream reports every shortfall alike, whatever the cause.
      StoreIoError(kErrorDiskWrite);
      return;
    }
    next += written;
    count -= written;
  }
}

void CloseFile(FileRecord& file) {
  if (PendingIoError() != 0 || !file.open) return;
  // A failing close has nothing left to report: the data was handed over
  // by the writes, and the handle is gone either way.
  if (file.ownsHandle) CloseHandle(HandleOf(file));
  file.open = false;
  file.ownsHandle = false;
  file.handle = -1;
}
