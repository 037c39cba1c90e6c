// The vector kernels an x86 processor can run, 64-bit or 32-bit: each is
// compiled for its own instruction set in a file of its own, so the rest
// of the program runs on any x86 processor, and a kernel is offered only
// where the processor has its instructions.
#include "comparison/kernels/selection_kernels.h"

int ProcessorKernels(KernelEntry* kernels, int capacity) {
  __builtin_cpu_init();
  const KernelEntry offered[] = {
      {"sse2", __builtin_cpu_supports("sse2") ? FindSelectedSse2 : nullptr},
      {"avx2", __builtin_cpu_supports("avx2") ? FindSelectedAvx2 : nullptr},
      {"avx512bw",
       __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") ? FindSelectedAvx512 : nullptr},
  };
  int count = 0;
  for (const KernelEntry& kernel : offered) {
    if (kernel.find != nullptr && count < capacity) kernels[count++] = kernel;
  }
  return count;
}
