// Between the Win32 fault handler and the stack walk: a fault's walk
// starts from the registers of the interrupted code, which the platform
// hands to the handler, rather than from the handler's own frame.
#pragma once

#include <windows.h>

void NoteFaultContext(const CONTEXT* context);
