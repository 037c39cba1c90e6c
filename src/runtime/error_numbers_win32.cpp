#include "runtime/error_numbers.h"

namespace {

constexpr int kFirstMovedCode = 19;   // ERROR_WRITE_PROTECT
constexpr int kLastMovedCode = 31;    // ERROR_GEN_FAILURE
constexpr int kMovedBy = 131;
constexpr int kSharingViolation = 32;
constexpr int kLargestNumber = 0xFFFF;

}  // namespace

// The tool's numbers are the Windows system error codes themselves, but
// for codes 19 to 31, which are moved up by 131 (so that they cannot be
// mistaken for the numbers of the tool's own text streams), and a sharing
// violation, which is reported as access denied. No name needs looking at.
uint16_t TranslatePlatformError(int platformCode, const char*) {
  if (platformCode >= kFirstMovedCode && platformCode <= kLastMovedCode)
    return static_cast<uint16_t>(platformCode + kMovedBy);
  if (platformCode == kSharingViolation) return kErrorAccessDenied;
  // A code that does not fit the 16-bit number, or none at all where one
  // was expected, is a failure of the system.
  if (platformCode <= 0 || platformCode > kLargestNumber) return kErrorGeneralFailure;
  return static_cast<uint16_t>(platformCode);
}
