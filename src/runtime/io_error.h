// The pending input/output error number and the checks made after every
// checked file or text operation (kept with the stop, in run_time.cpp).
#pragma once

#include <cstdint>

// 0 when no file or text operation has failed since the number was last taken.
uint16_t PendingIoError();

// Records a failure; the first number stays until it is taken.
void StoreIoError(uint16_t number);

// Stops the run with the pending number, the place being the caller's code
// right after this call. Does nothing when no error is pending.
[[gnu::noipa]] void CheckIo();

// Returns the pending number and clears it, without stopping.
uint16_t TakeIoError();
