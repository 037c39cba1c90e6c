#include <sys/stat.h>

#include <cerrno>
#include <string>
#include <string_view>

#include "runtime/error_numbers.h"

namespace {

struct ErrorTranslation {
  int platformCode;
  uint16_t number;
};

// Each Linux error as the Windows condition it stands for.
constexpr ErrorTranslation kTranslations[] = {
    {ENOENT, kErrorFileNotFound},   // or a missing directory, told apart below
    {ENOTDIR, kErrorPathNotFound},  // a part of the path is no directory
    {EMFILE, kErrorTooManyOpenFiles},
    {ENFILE, kErrorTooManyOpenFiles},
    {EACCES, kErrorAccessDenied},
    {EPERM, kErrorAccessDenied},
    {EISDIR, kErrorAccessDenied},       // a directory cannot be opened as a file
    {EWOULDBLOCK, kErrorAccessDenied},  // another opener holds the lock: sharing violation
    {EBUSY, kErrorAccessDenied},
    {ETXTBSY, kErrorAccessDenied},
    {ENOLCK, kErrorAccessDenied},
    {EBADF, kErrorInvalidHandle},
    {ENOMEM, kErrorNotEnoughMemory},
    {EXDEV, kErrorNotSameDevice},
    {EROFS, kErrorWriteProtected},
    {ENODEV, kErrorNotReady},
    {ENXIO, kErrorNotReady},
    {ENOMEDIUM, kErrorNotReady},
    {EIO, kErrorDataError},
    {ENOTSUP, kErrorNotSupported},
    {EEXIST, kErrorFileExists},
    {EINVAL, kErrorInvalidParameter},
    {EPIPE, kErrorBrokenPipe},
    {ENOSPC, kErrorDiskFull},
    {EDQUOT, kErrorDiskFull},
    {EILSEQ, kErrorInvalidName},  // the file system rejects the name's bytes
    {ESPIPE, kErrorSeekOnDevice},
    {ENAMETOOLONG, kErrorNameTooLong},
    {EFBIG, kErrorFileTooLarge},
    {ELOOP, kErrorCannotResolveName},
};

// Anything the table does not know is a failure of the medium or the system.
constexpr uint16_t kUnknownFailure = kErrorGeneralFailure;

// The directory a path names its file in, "." for a bare name.
std::string ParentDirectory(const char* path) {
  std::string_view name(path);
  while (name.size() > 1 && name.back() == '/') name.remove_suffix(1);
  size_t slash = name.rfind('/');
  if (slash == std::string_view::npos) return ".";
  if (slash == 0) return "/";
  return std::string(name.substr(0, slash));
}

bool IsDirectory(const std::string& path) {
  struct stat status;
  return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

}  // namespace

uint16_t TranslatePlatformError(int platformCode, const char* path) {
  // Linux says ENOENT both for a missing file and for a missing directory
  // on its way; the tool tells them apart, as the Windows codes do.
  if (platformCode == ENOENT && path != nullptr && *path != '\0' && !IsDirectory(ParentDirectory(path)))
    return kErrorPathNotFound;
  for (const ErrorTranslation& translation : kTranslations) {
    if (translation.platformCode == platformCode) return translation.number;
  }
  return kUnknownFailure;
}
