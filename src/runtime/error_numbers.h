// The tool's error numbers, and the translation of the platform's codes into them.
#pragma once

#include <cstdint>

// The tool's numbers are the Windows system error codes, but for codes 19
// to 31, which are moved up by 131 (so that they cannot be taken for the
// numbers of the tool's own text streams, 100 to 105), and a sharing
// violation (32), which is reported as access denied.
enum : int {
  kFirstMovedWindowsCode = 19,  // ERROR_WRITE_PROTECT
  kLastMovedWindowsCode = 31,   // ERROR_GEN_FAILURE
  kMovedBy = 131,
  kWindowsSharingViolation = 32,
};

// Error numbers, each named once for every platform.
enum : uint16_t {
  kErrorFileNotFound = 2,
  kErrorPathNotFound = 3,
  kErrorTooManyOpenFiles = 4,
  kErrorAccessDenied = 5,
  kErrorInvalidHandle = 6,
  kErrorNotEnoughMemory = 8,
  kErrorNotSameDevice = 17,
  kErrorNotSupported = 50,
  kErrorFileExists = 80,
  kErrorInvalidParameter = 87,
  kErrorBrokenPipe = 109,
  kErrorDiskFull = 112,
  kErrorShortRead = 100,
  kErrorDiskWrite = 101,
  kErrorFileNotOpen = 103,
  kErrorInvalidName = 123,
  kErrorNegativeSeek = 131,
  kErrorSeekOnDevice = 132,
  kErrorWriteProtected = 19 + kMovedBy,
  kErrorNotReady = 21 + kMovedBy,
  kErrorDataError = 23 + kMovedBy,
  kErrorGeneralFailure = 31 + kMovedBy,
  kErrorNameTooLong = 206,
  kErrorFileTooLarge = 223,
  kErrorCannotResolveName = 1921,
  // Processor faults, the same on every platform.
  kErrorDivisionByZero = 200,
  kErrorRangeCheck = 201,
  kErrorStackOverflow = 202,
  kErrorFloatOverflow = 205,
  kErrorFloatUnderflow = 206,
  kErrorInvalidFloat = 207,
  kErrorIntegerOverflow = 215,
  kErrorAccessViolation = 216,
  kErrorPrivilegedInstruction = 217,
};

// The number for a platform error code. The path, where given, lets the
// translation tell a missing file from a missing directory.
uint16_t TranslatePlatformError(int platformCode, const char* path = nullptr);
