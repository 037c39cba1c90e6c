#include <windows.h>

#include <cstring>
#include <string>

#include "runtime/error_numbers.h"
#include "runtime/file_checks.h"
#include "runtime/files.h"
#include "runtime/io_error.h"

namespace {

// ReadFile takes a 32-bit count; larger reads go in pieces.
constexpr size_t kLargestRead = 1u << 30;

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

// A file's volume and its number on that volume. FileIdInfo is asked
// first: it answers for an inherited standard output, where wine refuses
// GetFileInformationByHandle; Windows before 8 has only the latter.
bool IdentifyFile(HANDLE handle, FILE_ID_INFO& identity) {
  if (GetFileInformationByHandleEx(handle, FileIdInfo, &identity, sizeof identity)) return true;
  BY_HANDLE_FILE_INFORMATION information;
  if (!GetFileInformationByHandle(handle, &information)) return false;
  identity = FILE_ID_INFO{};
  identity.VolumeSerialNumber = information.dwVolumeSerialNumber;
  const DWORD index[2] = {information.nFileIndexLow, information.nFileIndexHigh};
  std::memcpy(identity.FileId.Identifier, index, sizeof index);
  return true;
}

// wine gives an inherited handle volume 0, having no drive to name for it:
// an unknown volume matches any, since taking standard output for an
// input only refuses a report, while the opposite mistake writes into it.
bool SameFile(HANDLE one, HANDLE other) {
  FILE_ID_INFO first;
  FILE_ID_INFO second;
  if (!IdentifyFile(one, first) || !IdentifyFile(other, second)) return false;
  const bool sameVolume = first.VolumeSerialNumber == second.VolumeSerialNumber || first.VolumeSerialNumber == 0 ||
                          second.VolumeSerialNumber == 0;
  return sameVolume && std::memcmp(&first.FileId, &second.FileId, sizeof first.FileId) == 0;
}

// Standard output was opened by the caller before the run, so share mode
// 0 on an input does not keep it out: standard output put onto an input
// (zev a b -f: >> a) would write into a file that is being compared. Such
// an input is found when it is opened; from then on standard output takes
// nothing (it is put on the null device, so that not even a stop message
// reaches the input), and the report refuses it.
// Standard error is kept off the inputs the same way once it carries the
// messages of a run.
bool standardOutputIsInput = false;
int guardedStreams = 1;  // of kStandardStreams
constexpr DWORD kStandardStreams[] = {STD_OUTPUT_HANDLE, STD_ERROR_HANDLE};

void KeepStandardStreamsOffInput(HANDLE input) {
  for (int k = 0; k < guardedStreams; ++k) {
    const HANDLE output = GetStdHandle(kStandardStreams[k]);
    if (!IsDiskFile(output) || !SameFile(output, input)) continue;
    if (kStandardStreams[k] == STD_OUTPUT_HANDLE) standardOutputIsInput = true;
    // Should the null device not open, the invalid handle takes nothing either.
    SetStdHandle(kStandardStreams[k], CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  }
}

HANDLE OpenWithCreateFile(FileRecord& file, std::string_view name, DWORD access, DWORD disposition) {
  if (PendingIoError() != 0) return INVALID_HANDLE_VALUE;
  // Both separators and the device names ("con", "nul", ...) are the
  // platform's own business.
  std::string path;
  if (!PathForName(name, path)) return INVALID_HANDLE_VALUE;
  // Share mode 0: while the tool holds the file, every other open of it
  // fails, and the tool's open fails while another opener holds it.
  const HANDLE handle = CreateFileA(path.c_str(), access, 0, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    StoreLastError();
    return INVALID_HANDLE_VALUE;
  }
  ClassifyOpenFile(file, handle, true);
  return handle;
}

}  // namespace

void OpenInputFile(FileRecord& file, std::string_view name) {
  const HANDLE input = OpenWithCreateFile(file, name, GENERIC_READ | GENERIC_WRITE, OPEN_EXISTING);
  if (input != INVALID_HANDLE_VALUE && IsDiskFile(input)) KeepStandardStreamsOffInput(input);
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
    StoreIoError(kErrorInvalidHandle);
    return;
  }
  if (standardOutputIsInput) {
    StoreIoError(kErrorAccessDenied);
    return;
  }
  ClassifyOpenFile(file, handle, false);
}

bool StandardStreamIsCharacterDevice(StandardStream stream) {
  return IsCharacterDevice(GetStdHandle(stream == StandardStream::kError ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE));
}

void KeepStandardErrorOffInputs() { guardedStreams = 2; }

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
    const size_t asked = count - done < kLargestRead ? count - done : kLargestRead;
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

void ReleaseHandle(intptr_t handle) { CloseHandle(reinterpret_cast<HANDLE>(handle)); }
