#include <link.h>
#include <unwind.h>

#include "runtime/stack_walk.h"

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

// The unwinder is called directly rather than through the C library's
// backtrace(), which a sanitizer run-time replaces with a walk of its own
// that counts the frames differently.
struct Walk {
  uintptr_t* addresses;
  int capacity;
  int count;
  int skip;  // frames not to take: the walker's own
};

_Unwind_Reason_Code TakeFrame(_Unwind_Context* context, void* data) {
  auto* walk = static_cast<Walk*>(data);
  if (walk->skip > 0) {
    --walk->skip;
    return _URC_NO_REASON;
  }
  if (walk->count >= walk->capacity) return _URC_END_OF_STACK;
  const uintptr_t address = _Unwind_GetIP(context);
  if (address == 0) return _URC_END_OF_STACK;
  walk->addresses[walk->count++] = address;
  return _URC_NO_REASON;
}

// The first frame taken is the caller of this function.
[[gnu::noipa]] int WalkFromCaller(uintptr_t* addresses, int capacity) {
  Walk walk{addresses, capacity, 0, 1};
  _Unwind_Backtrace(TakeFrame, &walk);
  return walk.count;
}

}  // namespace

void PrepareStackWalk() {
  // The first walk reads the unwind tables in, which must not happen for
  // the first time inside a fault handler.
  uintptr_t frames[4];
  WalkFromCaller(frames, 4);
  // This code is linked into the program, so the image holding it is the
  // program's own.
  dl_iterate_phdr(NoteOwnImage, reinterpret_cast<void*>(&PrepareStackWalk));
}

int WalkStack(uintptr_t* addresses, int capacity) { return WalkFromCaller(addresses, capacity); }

[[gnu::noipa]] uintptr_t CallerReturnAddress() {
  // The walk starts here: this function, the one that called it, then
  // that one's caller, which is the level asked for.
  uintptr_t frames[3];
  if (WalkFromCaller(frames, 3) < 3) return 0;
  return frames[2];
}

bool InOwnImage(uintptr_t address) { return imageKnown && address >= codeStart && address < codeEnd; }

uint64_t PrintedPlace(uintptr_t address) { return InOwnImage(address) ? address - loadBias : address; }
