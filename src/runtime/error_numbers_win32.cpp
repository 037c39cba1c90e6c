#include "runtime/error_numbers.h"

namespace {

constexpr int kLargestNumber = 0xFFFF;

}  // namespace

// The Windows codes are the tool's numbers, moved as error_numbers.h
// says. No name needs looking at.
uint16_t TranslatePlatformError(int platformCode, const char*) {
  if (platformCode >= kFirstMovedWindowsCode && platformCode <= kLastMovedWindowsCode)
    return static_cast<uint16_t>(platformCode + kMovedBy);
  if (platformCode == kWindowsSharingViolation) return kErrorAccessDenied;
  // A code that does not fit the 16-bit number, or none at all where one
  // was expected, is a failure of the system.
  if (platformCode <= 0 || platformCode > kLargestNumber) return kErrorGeneralFailure;
  return static_cast<uint16_t>(platformCode);
}
