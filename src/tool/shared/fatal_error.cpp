#include "shared/fatal_error.h"

#include <string>

#include "console/console_window.h"
#include "runtime/run_time.h"

namespace {

constexpr uint8_t kLightRed = 12;
constexpr uint8_t kLightGrey = 7;

bool toStandardError = false;

}  // namespace

// Exit code 1: a run that ends with one of these messages compared nothing.
void FatalError(std::string_view message) {
  if (toStandardError) {
    WriteMessage(StandardStream::kError, std::string(message) + "\r\n");
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
