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

// True for an address within the program's own code.
bool InOwnImage(uintptr_t address);

// The number printed for a code address: its offset within the program's
// image, which stays the same from run to run and which a symbol lookup on
// the executable resolves. Addresses outside the image are printed as they are.
uint64_t PrintedPlace(uintptr_t address);
