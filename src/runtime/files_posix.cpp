#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "runtime/error_numbers.h"
#include "runtime/file_checks.h"
#include "runtime/files.h"
#include "runtime/interrupted_posix.h"
#include "runtime/io_error.h"

namespace {

constexpr mode_t kNewFileMode = 0666;
constexpr int kStandardOutput = STDOUT_FILENO;

int HandleOf(const FileRecord& file) { return static_cast<int>(file.handle); }

void StorePlatformError(int code, const char* path = nullptr) { StoreIoError(TranslatePlatformError(code, path)); }

// The path for a name; input names take '\\' as a separator as well.
bool PathFromName(std::string_view name, bool backslashIsSeparator, std::string& path) {
  if (!PathForName(name, path)) return false;
  if (backslashIsSeparator) {
    for (char& character : path) {
      if (character == '\\') character = '/';
    }
  }
  return true;
}

bool NamesConsole(std::string_view name) {
  if (name.size() != 3) return false;
  const char* console = "con";
  for (size_t i = 0; i < 3; ++i) {
    char character = name[i];
    if (character >= 'A' && character <= 'Z') character = static_cast<char>(character - 'A' + 'a');
    if (character != console[i]) return false;
  }
  return true;
}

bool IsCharacterDevice(const struct stat& status) { return S_ISCHR(status.st_mode); }

void ClassifyOpenFile(FileRecord& file, int handle, const struct stat& status, bool owned) {
  file.handle = handle;
  file.open = true;
  file.ownsHandle = owned;
  file.characterDevice = IsCharacterDevice(status);
  file.showsUtf8 = file.characterDevice && isatty(HandleOf(file)) == 1;
}

void Abandon(int handle) { close(handle); }

int StatusOf(int handle, struct stat& status) {
  return RepeatInterrupted([&] { return fstat(handle, &status); });
}

// Standard output was opened by the caller before the run, so the lock
// on an input does not keep it out: standard output put onto an input
// (zev a b -f: >> a) would write into a file that is being compared.
// Such an input is found when it is opened; from then on standard output
// takes nothing (it is put on the null device, so that not even a stop
// message reaches the input), and the report refuses it. When standard
// output cannot be looked at, it may be the input: it is let go all the
// same and the failure stored, so that the run stops before anything is
// written. Should the null device not open, standard output is closed;
// the stop that follows opens nothing that could take its number.
// Standard error is kept off the inputs the same way once it carries the
// messages of a run.
bool standardOutputIsInput = false;
int guardedStreams = 1;  // of kStandardStreams
constexpr int kStandardStreams[] = {kStandardOutput, STDERR_FILENO};

void KeepStandardStreamsOffInput(const struct stat& input) {
  for (int k = 0; k < guardedStreams; ++k) {
    const int stream = kStandardStreams[k];
    struct stat output;
    const bool looked = StatusOf(stream, output) == 0;
    if (looked && (output.st_dev != input.st_dev || output.st_ino != input.st_ino)) continue;
    if (!looked) StorePlatformError(errno);
    if (stream == kStandardOutput) standardOutputIsInput = true;
    const int nothing = RepeatInterrupted([] { return open("/dev/null", O_WRONLY | O_CLOEXEC); });
    if (nothing < 0) {
      StorePlatformError(errno);
      close(stream);
      continue;
    }
    dup2(nothing, stream);
    close(nothing);
  }
}

// Holds a file against every other opener; when another holds it, the
// handle is given up and access is denied.
bool HoldExclusively(int handle) {
  if (RepeatInterrupted([&] { return flock(handle, LOCK_EX | LOCK_NB); }) == 0) return true;
  StoreIoError(kErrorAccessDenied);
  Abandon(handle);
  return false;
}

int OpenRepeated(const char* path, int flags, mode_t mode) {
  return RepeatInterrupted([&] { return open(path, flags, mode); });
}

// Opens and examines a path; on failure the error is stored and -1 returned.
int OpenAndExamine(const char* path, int flags, mode_t mode, struct stat& status) {
  int handle = OpenRepeated(path, flags, mode);
  if (handle < 0) {
    StorePlatformError(errno, path);
    return -1;
  }
  if (StatusOf(handle, status) != 0) {
    StorePlatformError(errno);
    Abandon(handle);
    return -1;
  }
  return handle;
}

}  // namespace

void OpenInputFile(FileRecord& file, std::string_view name) {
  if (PendingIoError() != 0) return;
  std::string path;
  if (!PathFromName(name, true, path)) return;

  struct stat status;
  int handle = OpenAndExamine(path.c_str(), O_RDWR | O_CLOEXEC | O_NOCTTY, 0, status);
  if (handle < 0) return;
  // Devices and pipes are shared by nature; a lock on the null device would
  // be shared with every other process on the machine.
  if (S_ISREG(status.st_mode) && !HoldExclusively(handle)) return;
  ClassifyOpenFile(file, handle, status, true);
  if (S_ISREG(status.st_mode)) KeepStandardStreamsOffInput(status);
}

void CreateReportFile(FileRecord& file, std::string_view name) {
  if (PendingIoError() != 0) return;
  std::string path;
  if (!PathFromName(name, false, path)) return;

  if (NamesConsole(path)) {
    struct stat status;
    int handle = OpenAndExamine("/dev/tty", O_WRONLY | O_CLOEXEC | O_NOCTTY, 0, status);
    if (handle < 0) return;
    ClassifyOpenFile(file, handle, status, true);
    return;
  }

  // Emptying the file waits until the lock is held: a name that reaches one
  // of the inputs, by whatever path, is refused before it is touched.
  struct stat status;
  int handle = OpenAndExamine(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NOCTTY, kNewFileMode, status);
  if (handle < 0) return;
  if (S_ISREG(status.st_mode)) {
    if (!HoldExclusively(handle)) return;
    if (RepeatInterrupted([&] { return ftruncate(handle, 0); }) != 0) {
      StorePlatformError(errno);
      Abandon(handle);
      return;
    }
  }
  ClassifyOpenFile(file, handle, status, true);
}

void AttachStandardOutput(FileRecord& file) {
  if (PendingIoError() != 0) return;
  struct stat status;
  if (StatusOf(kStandardOutput, status) != 0) {
    StorePlatformError(errno);
    return;
  }
  if (standardOutputIsInput) {
    StoreIoError(kErrorAccessDenied);
    return;
  }
  ClassifyOpenFile(file, kStandardOutput, status, false);
}

bool StandardStreamIsCharacterDevice(StandardStream stream) {
  struct stat status;
  return fstat(stream == StandardStream::kError ? STDERR_FILENO : kStandardOutput, &status) == 0 &&
         IsCharacterDevice(status);
}

void KeepStandardErrorOffInputs() { guardedStreams = 2; }

int64_t FileLength(FileRecord& file) {
  if (!ReadyForUse(file)) return 0;
  struct stat status;
  if (StatusOf(HandleOf(file), status) != 0) {
    StorePlatformError(errno);
    return 0;
  }
  return S_ISREG(status.st_mode) ? static_cast<int64_t>(status.st_size) : 0;
}

void SeekFile(FileRecord& file, int64_t position) {
  if (!ReadyForUse(file)) return;
  if (position < 0) {
    StoreIoError(kErrorNegativeSeek);
    return;
  }
  const off_t offset = static_cast<off_t>(position);
  if (RepeatInterrupted([&] { return lseek(HandleOf(file), offset, SEEK_SET); }) < 0) {
    // Pipes and terminals have no position; they measure 0, so the only
    // place they are put at is their start.
    if (errno == ESPIPE) return;
    StorePlatformError(errno);
  }
}

void ReadFileBlock(FileRecord& file, uint8_t* buffer, size_t count) {
  if (!ReadyForUse(file)) return;
  size_t done = 0;
  while (done < count) {
    const ssize_t delivered = RepeatInterrupted([&] { return read(HandleOf(file), buffer + done, count - done); });
    if (delivered > 0) {
      done += static_cast<size_t>(delivered);
    } else if (delivered == 0) {
      // Another program shortened the file: the lock is only advisory.
      StoreIoError(kErrorShortRead);
      return;
    } else {
      StorePlatformError(errno);
      return;
    }
  }
}

void ReleaseHandle(intptr_t handle) { close(static_cast<int>(handle)); }
