#include <pthread.h>
#include <signal.h>
#include <sys/resource.h>
#include <ucontext.h>

#include <cstddef>

#include "runtime/error_numbers.h"
#include "runtime/fault_handler.h"

namespace {

constexpr int kHandledSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGTRAP};
constexpr size_t kSignalCount = sizeof kHandledSignals / sizeof kHandledSignals[0];

// The kernel keeps this much unmapped below the stack, and a function's
// frame may skip that far past the last page in one step.
constexpr uintptr_t kStackGuardReach = (1u << 20) + (64u << 10);
// An access this close below the interrupted stack pointer is the stack
// growing, not a stray pointer.
constexpr uintptr_t kBelowStackPointerReach = 64u << 10;

// The handler runs here when the program's stack has run out. The stack
// walk and a report hand-over run on it too, so it is generous.
alignas(64) char alternateStack[256u << 10];

FaultStop stopRoutine = nullptr;
struct sigaction previousActions[kSignalCount];
bool installed = false;
uintptr_t stackLow = 0;
uintptr_t stackHigh = 0;

void NoteStackBounds() {
  pthread_attr_t attributes;
  if (pthread_getattr_np(pthread_self(), &attributes) != 0) return;
  void* low = nullptr;
  size_t size = 0;
  if (pthread_attr_getstack(&attributes, &low, &size) == 0) {
    stackLow = reinterpret_cast<uintptr_t>(low);
    stackHigh = stackLow + size;
  }
  pthread_attr_destroy(&attributes);
}

bool IsStackOverflow(uintptr_t faultAddress, uintptr_t stackPointer) {
  if (stackHigh != 0 && faultAddress < stackHigh && faultAddress + kStackGuardReach >= stackLow) return true;
  return stackPointer != 0 && faultAddress < stackPointer + 4096 &&
         faultAddress + kBelowStackPointerReach >= stackPointer;
}

uint16_t FloatingPointFaultNumber(int code) {
  switch (code) {
    case FPE_INTDIV:
      return kErrorDivisionByZero;
    case FPE_INTOVF:
      return kErrorIntegerOverflow;
    case FPE_FLTDIV:
      return kErrorDivisionByZero;
    case FPE_FLTOVF:
      return kErrorFloatOverflow;
    case FPE_FLTUND:
      return kErrorFloatUnderflow;
    case FPE_FLTSUB:
      return kErrorRangeCheck;
    default:
      return kErrorInvalidFloat;
  }
}

uint16_t FaultNumber(int signal, const siginfo_t* info, uintptr_t stackPointer) {
  switch (signal) {
    case SIGSEGV:
      return IsStackOverflow(reinterpret_cast<uintptr_t>(info->si_addr), stackPointer) ? kErrorStackOverflow
                                                                                       : kErrorAccessViolation;
    case SIGFPE:
      return FloatingPointFaultNumber(info->si_code);
    case SIGILL:
    case SIGTRAP:
      return kErrorPrivilegedInstruction;
    default:
      return kErrorAccessViolation;
  }
}

void HandleFault(int signal, siginfo_t* info, void* context) {
  auto* interrupted = static_cast<ucontext_t*>(context);
  uintptr_t place = reinterpret_cast<uintptr_t>(info->si_addr);
  uintptr_t stackPointer = 0;
#if defined(__x86_64__)
  place = static_cast<uintptr_t>(interrupted->uc_mcontext.gregs[REG_RIP]);
  stackPointer = static_cast<uintptr_t>(interrupted->uc_mcontext.gregs[REG_RSP]);
#elif defined(__i386__)
  place = static_cast<uintptr_t>(interrupted->uc_mcontext.gregs[REG_EIP]);
  stackPointer = static_cast<uintptr_t>(interrupted->uc_mcontext.gregs[REG_ESP]);
#elif defined(__aarch64__)
  place = static_cast<uintptr_t>(interrupted->uc_mcontext.pc);
  stackPointer = static_cast<uintptr_t>(interrupted->uc_mcontext.sp);
#else
  (void)interrupted;
#endif
  stopRoutine(FaultNumber(signal, info, stackPointer), place);
}

}  // namespace

void InstallFaultHandler(FaultStop stop) {
  stopRoutine = stop;
  NoteStackBounds();

  stack_t ownStack = {};
  ownStack.ss_sp = alternateStack;
  ownStack.ss_size = sizeof alternateStack;
  sigaltstack(&ownStack, nullptr);

  struct sigaction action = {};
  action.sa_sigaction = HandleFault;
  // A fault inside the stop itself (a damaged stack met by the walk) must
  // reach the handler again, so that the stop can go on without that step.
  action.sa_flags = SA_SIGINFO | SA_ONSTACK | SA_NODEFER;
  sigemptyset(&action.sa_mask);
  for (size_t i = 0; i < kSignalCount; ++i) sigaction(kHandledSignals[i], &action, &previousActions[i]);
  installed = true;
}

void RemoveFaultHandler() {
  if (!installed) return;
  for (size_t i = 0; i < kSignalCount; ++i) sigaction(kHandledSignals[i], &previousActions[i], nullptr);
  installed = false;
}
