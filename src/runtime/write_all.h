// Handing bytes to one of the platform's handles until every byte is taken.
#pragma once

#include <cstddef>
#include <cstdint>

// Writes all count bytes to the handle (a descriptor on Linux, a HANDLE on
// Windows): short counts continue; on Linux interrupted calls are repeated
// and a destination that answers "try again" is waited for until it takes
// more. False on any other failure, or a write that takes nothing.
bool WriteAll(intptr_t handle, const void* bytes, size_t count);
