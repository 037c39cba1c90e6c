// The active call levels, as code addresses, for the stop message.
#pragma once

#include <cstdint>

// Loads whatever the walk needs, so that a later walk from a fault handler
// does not have to, and notes where the program's own code lies.
void PrepareStackWalk();

// Fills addresses with the return addresses of the active calls, innermost
// first, and returns how many were found (at most capacity). Inside a fault
// handler the walk passes through the interrupted code.
int WalkStack(uintptr_t* addresses, int capacity);

// The point to which the function calling this one returns: its caller's
// code right after the call. That function must not be inlined, and must
// not hand the result straight back (which could become a jump).
uintptr_t CallerReturnAddress();

// True for an address within the program's own code.
bool InOwnImage(uintptr_t address);

// The number printed for a code address: its offset within the program's
// image, which stays the same from run to run and which a symbol lookup on
// the executable resolves. Addresses outside the image are printed as they are.
uint64_t PrintedPlace(uintptr_t address);
