#include "runtime/error_numbers.h"

#include <sys/stat.h>

#include <cerrno>
#include <string>
#include <string_view>

namespace {

struct ErrorTranslation {
  int platformCode;
  uint16_t number;
};

// The tool's numbers follow the Windows system error codes, with codes 19
// to 31 moved up by 131 and a sharing violation (32) reported as access
// denied; so each entry names the Windows code it stands for.
constexpr ErrorTranslation kTranslations[] = {
    {ENOENT, kErrorFileNotFound},     // 2, or 3 for a missing directory
    {ENOTDIR, kErrorPathNotFound},    // 3: a part of the path is no directory
    {EMFILE, 4},                      // too many open files
    {ENFILE, 4},
    {EACCES, kErrorAccessDenied},     // 5
    {EPERM, kErrorAccessDenied},
    {EISDIR, kErrorAccessDenied},     // a directory cannot be opened as a file
    {EWOULDBLOCK, kErrorAccessDenied},// another opener holds the lock: sharing violation
    {EBUSY, kErrorAccessDenied},
    {ETXTBSY, kErrorAccessDenied},
    {ENOLCK, kErrorAccessDenied},
    {EBADF, 6},                       // invalid handle
    {ENOMEM, 8},                      // not enough memory
    {EXDEV, 17},                      // not the same device
    {EROFS, kErrorWriteProtected},    // 19 + 131
    {ENODEV, kErrorNotReady},         // 21 + 131
    {ENXIO, kErrorNotReady},
    {ENOMEDIUM, kErrorNotReady},
    {EIO, kErrorDataError},           // 23 + 131
    {ENOTSUP, 50},                    // not supported
    {EEXIST, 80},                     // file exists
    {EINVAL, 87},                     // invalid parameter
    {EPIPE, 109},                     // broken pipe
    {ENOSPC, 112},                    // disk full
    {EDQUOT, 112},
    {EILSEQ, kErrorInvalidName},      // the file system rejects the name's bytes
    {ESPIPE, 132},                    // seek on a device
    {ENAMETOOLONG, kErrorNameTooLong},
    {EFBIG, 223},                     // file too large
    {ELOOP, 1921},                    // the name cannot be resolved
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
