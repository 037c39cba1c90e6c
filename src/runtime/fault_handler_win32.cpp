#include "runtime/fault_handler.h"

#include <windows.h>

#include "runtime/fault_context_win32.h"

namespace {

struct FaultTranslation {
  DWORD exceptionCode;
  uint16_t number;
};

constexpr FaultTranslation kTranslations[] = {
    {EXCEPTION_ACCESS_VIOLATION, 216},
    {EXCEPTION_INT_DIVIDE_BY_ZERO, 200},
    {EXCEPTION_INT_OVERFLOW, 215},
    {EXCEPTION_ARRAY_BOUNDS_EXCEEDED, 201},
    {EXCEPTION_STACK_OVERFLOW, 202},
    {EXCEPTION_FLT_DIVIDE_BY_ZERO, 200},
    {EXCEPTION_FLT_INVALID_OPERATION, 207},
    {EXCEPTION_FLT_STACK_CHECK, 207},
    {EXCEPTION_FLT_OVERFLOW, 205},
    {EXCEPTION_FLT_UNDERFLOW, 206},
    {EXCEPTION_FLT_DENORMAL_OPERAND, 216},
    {EXCEPTION_SINGLE_STEP, 217},
    {EXCEPTION_IN_PAGE_ERROR, 217},
    {EXCEPTION_ILLEGAL_INSTRUCTION, 217},
    {EXCEPTION_PRIV_INSTRUCTION, 217},
};

// Room kept on the stack for the stop after the stack has overflowed: the
// walk, the report's hand-over and the message all run there.
constexpr ULONG kStackKeptForStop = 64u << 10;

FaultStop stopRoutine = nullptr;
LPTOP_LEVEL_EXCEPTION_FILTER previousFilter = nullptr;
bool installed = false;

LONG WINAPI HandleFault(EXCEPTION_POINTERS* fault) {
  const DWORD code = fault->ExceptionRecord->ExceptionCode;
  for (const FaultTranslation& translation : kTranslations) {
    if (translation.exceptionCode != code) continue;
    NoteFaultContext(fault->ContextRecord);
    stopRoutine(translation.number,
                reinterpret_cast<uintptr_t>(fault->ExceptionRecord->ExceptionAddress));
  }
  // Anything else is the platform's to end, its own way.
  return EXCEPTION_CONTINUE_SEARCH;
}

}  // namespace

void InstallFaultHandler(FaultStop stop) {
  stopRoutine = stop;
  ULONG kept = kStackKeptForStop;
  SetThreadStackGuarantee(&kept);
  previousFilter = SetUnhandledExceptionFilter(HandleFault);
  installed = true;
}

void RemoveFaultHandler() {
  if (!installed) return;
  SetUnhandledExceptionFilter(previousFilter);
  installed = false;
}
