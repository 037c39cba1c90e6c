// Processor faults become run-time error stops.
#pragma once

#include <cstdint>

// Called on a fault with the error number and the faulting instruction. It
// runs in the fault's context and must end the process.
using FaultStop = void (*)(uint16_t number, uintptr_t place);

// Puts the handler in place, with a stack of its own so that a stack
// overflow can still be reported.
void InstallFaultHandler(FaultStop stop);

// Gives the faults back to the platform's own handling.
void RemoveFaultHandler();
