#include "shared/fatal_error.h"

#include <string>

#include "console/console_window.h"
#include "runtime/error_numbers.h"
#include "runtime/io_error.h"
#include "runtime/process.h"
#include "runtime/run_time.h"

namespace {

constexpr uint8_t kLightRed = 12;
constexpr uint8_t kLightGrey = 7;

bool toStandardError = false;

}  // namespace

// Exit code 1: a run that ends with one of these messages compared nothing.
void FatalError(std::string_view message) {
  if (toStandardError) {
    const std::string line = std::string(message) + "\r\n";
    if (!WriteStandardStream(StandardStream::kError, line.data(), line.size())) StoreIoError(kErrorDiskWrite);
    CheckIo();
    EndProgram(1);
  }
  SetTextAttribute(kLightRed);
  WriteText(message, 0);
  EndLine();
  SetTextAttribute(kLightGrey);
  EndLine();
  EndProgram(1);
}

void SendMessagesToStandardError() { toStandardError = true; }
