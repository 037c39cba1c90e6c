#include "runtime/stack_walk.h"

#include <execinfo.h>
#include <link.h>

namespace {

// Where the program's executable code was loaded, and by how much the
// loader moved it from the addresses in the file.
uintptr_t loadBias = 0;
uintptr_t codeStart = 0;
uintptr_t codeEnd = 0;
bool imageKnown = false;

int NoteOwnImage(dl_phdr_info* info, size_t, void* data) {
  uintptr_t probe = reinterpret_cast<uintptr_t>(data);
  uintptr_t start = UINTPTR_MAX;
  uintptr_t end = 0;
  bool containsProbe = false;
  for (int i = 0; i < info->dlpi_phnum; ++i) {
    const ElfW(Phdr)& segment = info->dlpi_phdr[i];
    if (segment.p_type != PT_LOAD || (segment.p_flags & PF_X) == 0) continue;
    uintptr_t low = info->dlpi_addr + segment.p_vaddr;
    uintptr_t high = low + segment.p_memsz;
    if (low < start) start = low;
    if (high > end) end = high;
    if (probe >= low && probe < high) containsProbe = true;
  }
  if (!containsProbe) return 0;
  loadBias = info->dlpi_addr;
  codeStart = start;
  codeEnd = end;
  imageKnown = true;
  return 1;
}

}  // namespace

void PrepareStackWalk() {
  // The first walk loads the unwinder, which must not happen inside a
  // fault handler.
  void* frames[4];
  backtrace(frames, 4);
  // This code is linked into the program, so the image holding it is the
  // program's own.
  dl_iterate_phdr(NoteOwnImage, reinterpret_cast<void*>(&PrepareStackWalk));
}

int WalkStack(uintptr_t* addresses, int capacity) {
  static_assert(sizeof(uintptr_t) == sizeof(void*));
  return backtrace(reinterpret_cast<void**>(addresses), capacity);
}

[[gnu::noipa]] uintptr_t CallerReturnAddress() {
  // The walk starts here: this function, the one that called it, then
  // that one's caller, which is the level asked for.
  void* frames[3];
  if (backtrace(frames, 3) < 3) return 0;
  return reinterpret_cast<uintptr_t>(frames[2]);
}

bool InOwnImage(uintptr_t address) {
  return imageKnown && address >= codeStart && address < codeEnd;
}

uint64_t PrintedPlace(uintptr_t address) {
  return InOwnImage(address) ? address - loadBias : address;
}
