#include "runtime/run_time.h"

#include <csignal>

#include "runtime/error_numbers.h"
#include "runtime/fault_handler.h"
#include "runtime/files.h"
#include "runtime/io_error.h"
#include "runtime/process.h"
#include "runtime/stack_walk.h"
#include "runtime/stop_message.h"

namespace {

// The shut-down runs once. A stop or a fault that arrives while it is under
// way (a hand-over routine that fails loudly, a walk over a damaged stack)
// must not start it again: it resumes after the step that was interrupted,
// so the first stop's record is the one reported.
enum ShutDownStage : int {
  kRunning,
  kCollectingLevels,
  kHandingOver,
  kWritingMessage,
  kExiting,
};

constexpr int kMostLevelsOnCharacterDevice = 9;
constexpr int kMostLevelsRedirected = 257;
// Room for the stop machinery's own frames and a signal frame besides the
// levels that are listed.
constexpr int kWalkCapacity = kMostLevelsRedirected + 64;

volatile sig_atomic_t stage = kRunning;
uint16_t exitCode = 0;
bool placeRecorded = false;
uint16_t errorNumber = 0;
uintptr_t errorPlace = 0;
HandOverRoutine handOver = nullptr;
StandardStream stopStream = StandardStream::kOutput;
uint16_t pendingIoError = 0;

// Static, so that a stop needs no memory of its own, in a fault handler or
// after the stack has run out.
uintptr_t walked[kWalkCapacity];
uintptr_t levels[kMostLevelsRedirected];
int levelCount = 0;

int FindAddress(int count, uintptr_t address) {
  for (int i = 0; i < count; ++i) {
    if (walked[i] == address) return i;
  }
  return -1;
}

// The call levels enclosing the place: the return addresses in the program's
// own code that lie further out than walked[after].
void KeepLevelsAfter(int count, int after) {
  int kept = 0;
  for (int i = after + 1; i < count && kept < kMostLevelsRedirected; ++i) {
    if (InOwnImage(walked[i])) levels[kept++] = walked[i];
  }
  levelCount = kept;
}

void RecordStop(uint16_t number, uintptr_t place) {
  errorNumber = number;
  errorPlace = place;
  placeRecorded = true;
  exitCode = number;
}

void WriteRecordedStop() {
  int most = StandardStreamIsCharacterDevice(stopStream) ? kMostLevelsOnCharacterDevice : kMostLevelsRedirected;
  int count = levelCount < most ? levelCount : most;
  uint64_t printed[kMostLevelsRedirected];
  for (int i = 0; i < count; ++i) printed[i] = PrintedPlace(levels[i]);
  WriteStopMessage(stopStream, errorNumber, PrintedPlace(errorPlace), printed, count);
}

[[noreturn]] void ContinueShutDown() {
  int done = stage;
  if (done < kHandingOver) {
    stage = kHandingOver;
    HandOverRoutine routine = handOver;
    handOver = nullptr;
    if (routine != nullptr) {
      // The routine's writes must not be refused because of the error that
      // caused the stop, and its own failure is not reported.
      TakeIoError();
      routine();
      TakeIoError();
    }
  }
  if (done < kWritingMessage) {
    stage = kWritingMessage;
    if (placeRecorded) WriteRecordedStop();
  }
  stage = kExiting;
  RemoveFaultHandler();
  EndProcess(exitCode);
}

// A fault's place is the faulting instruction. When that lies outside the
// program's own code (inside a library routine the tool called), the place
// reported is the point in the tool's code to which that routine returns.
void StopOnFault(uint16_t number, uintptr_t place) {
  if (stage != kRunning) ContinueShutDown();
  stage = kCollectingLevels;
  RecordStop(number, place);

  int count = WalkStack(walked, kWalkCapacity);
  int at = FindAddress(count, place);
  if (at < 0) {
    // The walk did not show the interrupted code itself; it resumes after
    // the signal frame, the first frame outside the handler's own code.
    at = 0;
    while (at < count && InOwnImage(walked[at])) ++at;
  }
  if (!InOwnImage(place)) {
    int own = at + 1;
    while (own < count && !InOwnImage(walked[own])) ++own;
    if (own < count) {
      at = own;
      errorPlace = walked[own];
    }
  }
  KeepLevelsAfter(count, at);
  ContinueShutDown();
}

}  // namespace

void StartRunTime(int argc, char** argv) {
  PrepareStackWalk();
  InstallFaultHandler(StopOnFault);
  PrepareStandardStreams();
  LoadParameters(argc, argv);
  TakeIoError();
}

[[gnu::noipa]] void RunTimeErrorStop(uint16_t number, const void* place) {
  if (stage != kRunning) ContinueShutDown();
  stage = kCollectingLevels;
  const uintptr_t caller = CallerReturnAddress();
  uintptr_t at = place != nullptr ? reinterpret_cast<uintptr_t>(place) : caller;
  RecordStop(number, at);

  int count = WalkStack(walked, kWalkCapacity);
  int found = FindAddress(count, at);
  if (found < 0) {
    // A place that is not on the stack: list the levels enclosing the stop
    // call itself, starting with its caller.
    found = FindAddress(count, caller);
    found = found < 0 ? count : found - 1;
  }
  KeepLevelsAfter(count, found);
  ContinueShutDown();
}

void EndProgram(int code) {
  if (stage != kRunning) ContinueShutDown();
  exitCode = static_cast<uint16_t>(code);
  stage = kCollectingLevels;
  ContinueShutDown();
}

void WriteMessage(StandardStream stream, std::string_view text) {
  if (!WriteStandardStream(stream, text.data(), text.size())) StoreIoError(kErrorDiskWrite);
  CheckIo();
}

void SetHandOverAtEnd(HandOverRoutine routine) { handOver = routine; }

void SendStopsToStandardError() {
  stopStream = StandardStream::kError;
  KeepStandardErrorOffInputs();
}

// The pending number lives beside the stop it leads to, so that the two
// are one place and neither calls into the other's file.
uint16_t PendingIoError() { return pendingIoError; }

void StoreIoError(uint16_t number) {
  // The first failure is the one the user needs to see; later operations
  // do nothing anyway while it is pending.
  if (pendingIoError == 0) pendingIoError = number;
}

[[gnu::noipa]] void CheckIo() {
  if (pendingIoError == 0) return;
  const uint16_t number = pendingIoError;
  pendingIoError = 0;
  RunTimeErrorStop(number, reinterpret_cast<const void*>(CallerReturnAddress()));
}

uint16_t TakeIoError() {
  const uint16_t number = pendingIoError;
  pendingIoError = 0;
  return number;
}
