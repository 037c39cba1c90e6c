// A program built on the run-time layer alone. Its first parameter selects
// one way of ending, and every ending first hands over "handed over" CR LF,
// so that tests see the hand-over come before a stop message. Offsets of
// the functions involved go to standard error as "name 0xOFFSET" lines.
// Any other first parameter lists the parameters: the count, every entry
// from 1 on between brackets, last entry 0, the program's own path.
#include <cstdio>
#include <string>

#include "float_traps.h"
#include "runtime/files.h"
#include "runtime/integer_text.h"
#include "runtime/io_error.h"
#include "runtime/parameters.h"
#include "runtime/process.h"
#include "runtime/run_time.h"
#include "runtime/stack_walk.h"

namespace {

// An instruction after each call keeps it from becoming a jump, so that
// every level is a real call level.
void KeepFrame() { asm volatile("" ::: "memory"); }

volatile int zero = 0;
int* volatile nowhere = nullptr;
volatile double doubleZero = 0.0, doubleResult = 0.0;

void Announce(const char* name, void (*function)()) {
  std::fprintf(stderr, "%s 0x%08llX\n", name,
               static_cast<unsigned long long>(PrintedPlace(reinterpret_cast<uintptr_t>(function))));
}

int32_t NumberAt(int32_t index) { return ParseIntegerText(ParameterText(index)).value; }

[[gnu::noinline]] void StopWith101() {
  StoreIoError(101);
  CheckIo();
  KeepFrame();
}
[[gnu::noinline]] void NullWrite() { *nowhere = 1; KeepFrame(); }
[[gnu::noinline]] void IntegerDivide() { zero = 10 / zero; KeepFrame(); }
template <void (*Callee)()>
[[gnu::noinline]] void Caller() { Callee(); KeepFrame(); }

// Deep(n) stops in its innermost call, inside n calls of itself.
[[gnu::noinline]] void Deep(int levels) {
  if (levels == 0) StopWith101();
  else Deep(levels - 1);
  KeepFrame();
}

[[gnu::noinline]] int Recurse(int depth) {
  volatile char pad[256];
  pad[0] = static_cast<char>(depth);
  if (depth == zero - 1) return 0;
  int result = Recurse(depth + 1);
  KeepFrame();
  return result + pad[0];
}

// Calls Stop inside two levels, announced as "inner", "middle" and "outer".
template <void (*Stop)()>
void Announced() {
  Announce("inner", Stop);
  Announce("middle", Caller<Stop>);
  Announce("outer", Caller<Caller<Stop>>);
  Caller<Caller<Stop>>();
}

void ListParameters() {
  std::string text = std::to_string(ParameterCount()) + "\r\n";
  for (int32_t index = 1; index <= ParameterCount(); ++index) text += "[" + std::string(ParameterText(index)) + "]\r\n";
  text += "entry 0: " + std::string(ParameterText(0)) + "\r\n";
  WriteStandardOutput(text.data(), text.size());
  EndProcess(0);
}

struct Mode {
  const char* name;
  void (*run)();
};
const Mode kModes[] = {
    {"exit", [] { EndProgram(7); }},
    {"check", [] { StoreIoError(static_cast<uint16_t>(NumberAt(2))); CheckIo(); }},
    {"nested", Announced<StopWith101>},
    {"deep", [] { Deep(NumberAt(2)); }},
    {"null", Announced<NullWrite>},
    {"divide", Announced<IntegerDivide>},
    {"float-divide", [] { EnableFloatDivideTrap(); doubleResult = 1.0 / doubleZero; }},
    {"stack-overflow", [] { doubleResult = Recurse(0); }},
    {"illegal", [] { __builtin_trap(); }},
    // A hand-over that faults is skipped, and the first stop is reported.
    {"handover-fault", [] {
       SetHandOverAtEnd([] { *nowhere = 2; });
       StoreIoError(5);
       CheckIo();
     }},
    {"files-then-stop", [] {
       FileRecord input, report;
       OpenInputFile(input, ParameterText(2));
       CreateReportFile(report, ParameterText(3));
       WriteFileBytes(report, "report\r\n", 8);
       CheckIo();
       StopWith101();
     }},
};

}  // namespace

int main(int argc, char** argv) {
  StartRunTime(argc, argv);
  SetHandOverAtEnd([] { WriteStandardOutput("handed over\r\n", 13); });
  for (const Mode& mode : kModes) {
    if (ParameterText(1) == mode.name) mode.run();
  }
  ListParameters();
}
