// A program on the run-time layer alone: its first parameter selects a way of ending, each handing over "handed over"
// CR LF first; the offsets of the functions a stop passes go to standard error as "name 0xOFFSET" lines.
#include <cstdio>
#include <utility>

#include "runtime/files.h"
#include "runtime/integer_text.h"
#include "runtime/io_error.h"
#include "runtime/parameters.h"
#include "runtime/process.h"
#include "runtime/run_time.h"
#include "runtime/stack_walk.h"

namespace {

// An instruction after each call keeps it a call, not a jump, and so a level.
void KeepFrame() { asm volatile("" ::: "memory"); }

volatile int zero = 0, sink = 0;
volatile double real = 0, result = 0;
int* volatile nowhere = nullptr;

[[gnu::noinline]] void StopWith101() {
  StoreIoError(101);
  CheckIo();
  KeepFrame();
}
[[gnu::noinline]] void NullWrite() {
  *nowhere = 1;
  KeepFrame();
}
[[gnu::noinline]] void IntegerDivide() {
  zero = 10 / zero;
  KeepFrame();
}
// Floating-point faults, unmasked in the SSE control word: 0 divides by zero, 1 overflows, 2 underflows, 3 is
// invalid.
template <int kFault>
[[gnu::noinline]] void FloatFault() {
  unsigned control = 0;
  asm volatile("stmxcsr %0" : "=m"(control));
  control &= ~0xE80u;
  asm volatile("ldmxcsr %0" ::"m"(control));
  real = kFault == 1 ? 1e300 : kFault == 2 ? 1e-300 : 0;
  result = kFault == 0 ? 1 / real : kFault == 3 ? real / real : real * real;
  KeepFrame();
}
// What only 32-bit x86 code has: BOUND with an index past its bounds, and INTO after an overflow; written as bytes,
// so that the 64-bit programs build them too and never run them.
[[gnu::noinline]] void OutOfBounds() {
  static const int bounds[2] = {0, 1};
  asm volatile(".byte 0x62, 0x01" ::"a"(2), "c"(bounds));  // bound eax, [ecx]
  KeepFrame();
}
[[gnu::noinline]] void OverflowTrap() {
  asm volatile("movl $0x7FFFFFFF, %%eax\n\taddl $1, %%eax\n\t.byte 0xCE" ::: "eax", "cc");  // into
  KeepFrame();
}
template <void (*Callee)()>
[[gnu::noinline]] void Caller() {
  Callee();
  KeepFrame();
}
// Stops in its innermost call, inside `levels` calls of itself.
[[gnu::noinline]] void Deep(int levels) {
  levels == 0 ? StopWith101() : Deep(levels - 1);
  KeepFrame();
}
[[gnu::noinline]] int Recurse(int depth) {
  volatile char pad[256];
  pad[0] = static_cast<char>(depth);
  const int result = depth == zero - 1 ? 0 : Recurse(depth + 1);
  KeepFrame();
  return result + pad[0];
}

// Stops inside two levels, announced as "inner", "middle" and "outer".
template <void (*Stop)()>
void Announced() {
  const std::pair<const char*, void (*)()> functions[] = {
      {"inner", Stop}, {"middle", Caller<Stop>}, {"outer", Caller<Caller<Stop>>}};
  for (const auto& [name, function] : functions) {
    const auto place = static_cast<unsigned long long>(PrintedPlace(reinterpret_cast<uintptr_t>(function)));
    std::fprintf(stderr, "%s 0x%08llX\n", name, place);
  }
  Caller<Caller<Stop>>();
}

int Number() { return ParseIntegerText(ParameterText(2)).value; }

const std::pair<const char*, void (*)()> kModes[] = {
    {"exit", [] { EndProgram(7); }},
    {"check",
     [] {
       StoreIoError(static_cast<uint16_t>(Number()));
       CheckIo();
     }},
    {"nested", Announced<StopWith101>},
    {"deep", [] { Deep(Number()); }},
    {"null", Announced<NullWrite>},
    {"divide", Announced<IntegerDivide>},
    {"stack-overflow", [] { sink = Recurse(0); }},
    {"illegal", [] { __builtin_trap(); }},
    {"breakpoint", [] { asm volatile("int3"); }},
    {"float-divide", Announced<FloatFault<0>>},
    {"float-overflow", Announced<FloatFault<1>>},
    {"float-underflow", Announced<FloatFault<2>>},
    {"float-invalid", Announced<FloatFault<3>>},
    {"bound", Announced<OutOfBounds>},
    {"into", Announced<OverflowTrap>},
    // A hand-over that faults is skipped, and the first stop is reported.
    {"handover-fault",
     [] {
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
     }}};

}  // namespace

int main(int argc, char** argv) {
  StartRunTime(argc, argv);
  SetHandOverAtEnd([] { WriteStandardStream(StandardStream::kOutput, "handed over\r\n", 13); });
  for (const auto& [name, run] : kModes) {
    if (ParameterText(1) == name) run();
  }
  EndProgram(0);
}
