#include <windows.h>

#include "runtime/error_numbers.h"
#include "runtime/fault_context_win32.h"
#include "runtime/fault_handler.h"

namespace {

struct FaultTranslation {
  DWORD exceptionCode;
  uint16_t number;
};

constexpr FaultTranslation kTranslations[] = {
    {EXCEPTION_ACCESS_VIOLATION, kErrorAccessViolation},
    {EXCEPTION_INT_DIVIDE_BY_ZERO, kErrorDivisionByZero},
    {EXCEPTION_INT_OVERFLOW, kErrorIntegerOverflow},
    {EXCEPTION_ARRAY_BOUNDS_EXCEEDED, kErrorRangeCheck},
    {EXCEPTION_STACK_OVERFLOW, kErrorStackOverflow},
    {EXCEPTION_FLT_DIVIDE_BY_ZERO, kErrorDivisionByZero},
    {EXCEPTION_FLT_INVALID_OPERATION, kErrorInvalidFloat},
    {EXCEPTION_FLT_STACK_CHECK, kErrorInvalidFloat},
    {EXCEPTION_FLT_OVERFLOW, kErrorFloatOverflow},
    {EXCEPTION_FLT_UNDERFLOW, kErrorFloatUnderflow},
    {EXCEPTION_FLT_DENORMAL_OPERAND, kErrorAccessViolation},
    {EXCEPTION_SINGLE_STEP, kErrorPrivilegedInstruction},
    {EXCEPTION_IN_PAGE_ERROR, kErrorPrivilegedInstruction},
    {EXCEPTION_ILLEGAL_INSTRUCTION, kErrorPrivilegedInstruction},
    {EXCEPTION_PRIV_INSTRUCTION, kErrorPrivilegedInstruction},
};

// The stop after a fault runs on a stack of its own, as it does on Linux:
// after a stack overflow the faulting stack has next to nothing left (the
// platform's reserve for the handler is a few pages at best, and wine
// leaves under one), while the walk, the report's hand-over and the
// message need more. The switch itself takes a few dozen bytes.
constexpr SIZE_T kStopStack = 256u << 10;
// Where the platform honours it, a reserve on the faulting stack too.
constexpr ULONG kStackKeptForStop = 64u << 10;

FaultStop stopRoutine = nullptr;
LPTOP_LEVEL_EXCEPTION_FILTER previousFilter = nullptr;
bool installed = false;
void* stopFiber = nullptr;
void* overflowHandler = nullptr;
uint16_t faultNumber = 0;
uintptr_t faultPlace = 0;

bool stopRunning = false;

void CALLBACK RunStop(void*) {
  stopRunning = true;
  stopRoutine(faultNumber, faultPlace);
}

LONG WINAPI HandleFault(EXCEPTION_POINTERS* fault) {
  const DWORD code = fault->ExceptionRecord->ExceptionCode;
  for (const FaultTranslation& translation : kTranslations) {
    if (translation.exceptionCode != code) continue;
    NoteFaultContext(fault->ContextRecord);
    faultNumber = translation.number;
    faultPlace = reinterpret_cast<uintptr_t>(fault->ExceptionRecord->ExceptionAddress);
    // A fault inside the stop itself stays on the stop's stack.
    if (stopFiber != nullptr && !stopRunning) SwitchToFiber(stopFiber);
    RunStop(nullptr);
  }
  // Anything else is the platform's to end, its own way.
  return EXCEPTION_CONTINUE_SEARCH;
}

// A stack overflow is taken as soon as it is raised: by the time the
// platform would call the unhandled-exception filter, the dispatch itself
// has used up what was left of the stack (under wine at least).
LONG WINAPI HandleStackOverflow(EXCEPTION_POINTERS* fault) {
  if (fault->ExceptionRecord->ExceptionCode != EXCEPTION_STACK_OVERFLOW) return EXCEPTION_CONTINUE_SEARCH;
  return HandleFault(fault);
}

}  // namespace

void InstallFaultHandler(FaultStop stop) {
  stopRoutine = stop;
  ULONG kept = kStackKeptForStop;
  SetThreadStackGuarantee(&kept);
  // The thread becomes a fiber so that the stop can switch to its own.
  if (ConvertThreadToFiber(nullptr) != nullptr) stopFiber = CreateFiber(kStopStack, RunStop, nullptr);
  previousFilter = SetUnhandledExceptionFilter(HandleFault);
  overflowHandler = AddVectoredExceptionHandler(1, HandleStackOverflow);
  installed = true;
}

void RemoveFaultHandler() {
  if (!installed) return;
  SetUnhandledExceptionFilter(previousFilter);
  if (overflowHandler != nullptr) RemoveVectoredExceptionHandler(overflowHandler);
  overflowHandler = nullptr;
  installed = false;
}
