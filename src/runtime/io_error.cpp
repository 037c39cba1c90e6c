#include "runtime/io_error.h"

#include "runtime/run_time.h"
#include "runtime/stack_walk.h"

namespace {
uint16_t pending = 0;
}

uint16_t PendingIoError() { return pending; }

void StoreIoError(uint16_t number) {
  // The first failure is the one the user needs to see; later operations
  // do nothing anyway while it is pending.
  if (pending == 0) pending = number;
}

[[gnu::noipa]] void CheckIo() {
  if (pending == 0) return;
  uint16_t number = pending;
  pending = 0;
  RunTimeErrorStop(number, reinterpret_cast<const void*>(CallerReturnAddress()));
}

uint16_t TakeIoError() {
  uint16_t number = pending;
  pending = 0;
  return number;
}
