// Translation of the platform's error codes into the tool's error numbers.
#pragma once

#include <cstdint>

// Error numbers the tool's own operations rely on.
enum : uint16_t {
  kErrorFileNotFound = 2,
  kErrorPathNotFound = 3,
  kErrorAccessDenied = 5,
  kErrorShortRead = 100,
  kErrorDiskWrite = 101,
  kErrorFileNotAssigned = 102,
  kErrorFileNotOpen = 103,
  kErrorFileNotOpenForInput = 104,
  kErrorFileNotOpenForOutput = 105,
  kErrorInvalidName = 123,
  kErrorNegativeSeek = 131,
  kErrorNameTooLong = 206,
  kErrorWriteProtected = 150,
  kErrorNotReady = 152,
  kErrorDataError = 154,
  kErrorReadFault = 161,
  kErrorGeneralFailure = 162,
};

// The number for a platform error code. The path, where given, lets the
// translation tell a missing file from a missing directory.
uint16_t TranslatePlatformError(int platformCode, const char* path = nullptr);
