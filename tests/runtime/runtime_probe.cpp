// A program built on the run-time layer alone. Its first parameter selects
// one way of ending; the tests run it and look at what it leaves behind.
// Offsets of the functions involved go to standard error as
// "name 0xOFFSET" lines, so that the places in the stop message can be
// checked without a symbol lookup.

#include <fenv.h>
#include <unistd.h>

#include <cfloat>
#include <cstdio>
#include <string>
#include <string_view>

#include "runtime/files.h"
#include "runtime/integer_text.h"
#include "runtime/io_error.h"
#include "runtime/parameters.h"
#include "runtime/run_time.h"
#include "runtime/stack_walk.h"

namespace {

// Calls after a call keep it from becoming a jump, so that every level of
// the chain is a real call level.
void KeepFrame() { asm volatile("" ::: "memory"); }

volatile int zero = 0;
volatile int never = -1;
int* volatile nowhere = nullptr;
volatile double doubleZero = 0.0;
volatile double doubleResult = 0.0;

void Announce(const char* name, void (*function)()) {
  std::fprintf(stderr, "%s 0x%08llX\n", name,
               static_cast<unsigned long long>(PrintedPlace(reinterpret_cast<uintptr_t>(function))));
}

[[gnu::noinline]] void ChainInner() {
  StoreIoError(101);
  CheckIo();
  KeepFrame();
}
[[gnu::noinline]] void ChainMiddle() {
  ChainInner();
  KeepFrame();
}
[[gnu::noinline]] void ChainOuter() {
  ChainMiddle();
  KeepFrame();
}

[[gnu::noinline]] void Deep(int levels) {
  if (levels == 0) {
    StoreIoError(101);
    CheckIo();
  } else {
    Deep(levels - 1);
  }
  KeepFrame();
}

[[gnu::noinline]] void NullWrite() {
  *nowhere = 1;
  KeepFrame();
}
[[gnu::noinline]] void CallNullWrite() {
  NullWrite();
  KeepFrame();
}

[[gnu::noinline]] void IntegerDivide() {
  zero = 10 / zero;
  KeepFrame();
}
[[gnu::noinline]] void CallIntegerDivide() {
  IntegerDivide();
  KeepFrame();
}

[[gnu::noinline]] int Recurse(int depth) {
  volatile char pad[256];
  pad[0] = static_cast<char>(depth);
  if (depth == never) return 0;
  int result = Recurse(depth + 1);
  KeepFrame();
  return result + pad[0];
}

void FloatingPoint(int exception, double (*operation)()) {
  feenableexcept(exception);
  doubleResult = operation();
}

void WriteHandedOver() {
  const char line[] = "handed over\r\n";
  if (write(1, line, sizeof line - 1) < 0) return;
}

void FaultWhileHandingOver() { *nowhere = 2; }

FileRecord standardOutput;
void HandOverThroughFiles() { WriteFileBytes(standardOutput, "through files\r\n", 15); }

[[gnu::noinline]] void StopWithoutPlace() {
  RunTimeErrorStop(77, nullptr);
}

void ListParameters() {
  std::printf("count %d\n", ParameterCount());
  for (int32_t i = 0; i <= ParameterCount() || i == 0; ++i) {
    std::printf("[%.*s]\n", static_cast<int>(ParameterText(i).size()), ParameterText(i).data());
  }
}

int32_t NumberAt(int32_t index) { return ParseIntegerText(ParameterText(index)).value; }

}  // namespace

int main(int argc, char** argv) {
  StartRunTime(argc, argv);
  std::string_view mode = ParameterText(1);

  if (mode == "exit") EndProgram(7);
  if (mode == "check") {
    StoreIoError(static_cast<uint16_t>(NumberAt(2)));
    CheckIo();
    EndProgram(0);
  }
  if (mode == "nested") {
    Announce("inner", ChainInner);
    Announce("middle", ChainMiddle);
    Announce("outer", ChainOuter);
    ChainOuter();
  }
  if (mode == "deep") Deep(NumberAt(2));
  if (mode == "null") {
    Announce("inner", NullWrite);
    Announce("middle", CallNullWrite);
    CallNullWrite();
  }
  if (mode == "divide") {
    Announce("inner", IntegerDivide);
    Announce("middle", CallIntegerDivide);
    CallIntegerDivide();
  }
  if (mode == "float-divide") FloatingPoint(FE_DIVBYZERO, [] { return 1.0 / doubleZero; });
  if (mode == "float-invalid") FloatingPoint(FE_INVALID, [] { return doubleZero / doubleZero; });
  if (mode == "float-overflow") FloatingPoint(FE_OVERFLOW, [] { return DBL_MAX * (doubleZero + 4.0); });
  if (mode == "float-underflow") FloatingPoint(FE_UNDERFLOW, [] { return DBL_MIN / (doubleZero + 3.0e10); });
  if (mode == "stack-overflow") doubleResult = Recurse(0);
  if (mode == "illegal") __builtin_trap();
  if (mode == "breakpoint") asm volatile("int3");
  if (mode == "handover") {
    SetHandOverAtEnd(WriteHandedOver);
    StoreIoError(101);
    CheckIo();
  }
  if (mode == "handover-exit") {
    SetHandOverAtEnd(WriteHandedOver);
    EndProgram(3);
  }
  if (mode == "handover-fault") {
    SetHandOverAtEnd(FaultWhileHandingOver);
    StoreIoError(5);
    CheckIo();
  }
  if (mode == "handover-on-fault") {
    SetHandOverAtEnd(WriteHandedOver);
    CallNullWrite();
  }
  if (mode == "handover-pending") {
    AttachStandardOutput(standardOutput);
    SetHandOverAtEnd(HandOverThroughFiles);
    StoreIoError(101);
    Announce("middle", StopWithoutPlace);
    StopWithoutPlace();
  }
  if (mode == "files-then-stop") {
    FileRecord input, report;
    OpenInputFile(input, ParameterText(2));
    CheckIo();
    CreateReportFile(report, ParameterText(3));
    CheckIo();
    WriteFileBytes(report, "report\r\n", 8);
    CheckIo();
    StoreIoError(101);
    CheckIo();
  }
  if (mode == "params" || ParameterCount() <= 0) {
    ListParameters();
    EndProgram(0);
  }
  std::fprintf(stderr, "unknown mode\n");
  EndProgram(99);
}
