#include <windows.h>

#include "runtime/fault_context_win32.h"
#include "runtime/stack_walk.h"

namespace {

// Where the program's code lies, and where the linker meant the image to
// be loaded: places are printed as addresses of the image as linked, the
// same from run to run whatever address the loader chose, so that a
// symbol lookup on zev.exe resolves them.
uintptr_t imageStart = 0;
uintptr_t preferredBase = 0;
uintptr_t codeStart = 0;
uintptr_t codeEnd = 0;

const CONTEXT* faultContext = nullptr;

// The program's only thread's stack: a walk never reads outside it.
ULONG_PTR stackLow = 0;
ULONG_PTR stackHigh = 0;

bool OnThisStack(uintptr_t address) { return address >= stackLow && address < stackHigh; }

#if defined(_M_X64) || defined(__x86_64__)

// Unwinds with the tables the compiler leaves for every function that
// has a frame; a function without an entry is a leaf, whose return
// address is on top of the stack. The first frame is looked up at its
// own address, every later one just before its return address, which
// may already lie in the next function after a call that never returns.
int WalkFrom(CONTEXT context, uintptr_t* addresses, int capacity) {
  int count = 0;
  while (count < capacity && context.Rip != 0) {
    addresses[count++] = context.Rip;
    const DWORD64 lookup = count == 1 ? context.Rip : context.Rip - 1;
    const DWORD64 stackBefore = context.Rsp;
    DWORD64 imageBase = 0;
    PRUNTIME_FUNCTION function = RtlLookupFunctionEntry(lookup, &imageBase, nullptr);
    if (function == nullptr) {
      if (!OnThisStack(context.Rsp)) break;
      context.Rip = *reinterpret_cast<const DWORD64*>(context.Rsp);
      context.Rsp += 8;
    } else {
      void* handlerData = nullptr;
      DWORD64 establisherFrame = 0;
      RtlVirtualUnwind(UNW_FLAG_NHANDLER, imageBase, lookup, function, &context, &handlerData, &establisherFrame,
                       nullptr);
    }
    if (context.Rsp <= stackBefore || !OnThisStack(context.Rsp)) {
      // The outermost frame, or a stack that cannot be followed further.
      if (context.Rip != 0 && count < capacity && context.Rsp > stackBefore) {
        addresses[count++] = context.Rip;
      }
      break;
    }
  }
  return count;
}

// On x64 RtlCaptureContext describes the function that calls it.
[[gnu::always_inline]] inline void CaptureThisFrame(CONTEXT& context) { RtlCaptureContext(&context); }

#else

// True for an address of the program's code right after a call: a direct
// one (E8 and four bytes) or one through a register or memory (FF /2).
bool FollowsCall(uintptr_t address) {
  if (!InOwnImage(address - 6) || !InOwnImage(address)) return false;
  const auto* code = reinterpret_cast<const uint8_t*>(address);
  const auto indirect = [&](int length) { return code[-length] == 0xFF && (code[1 - length] & 0x38) == 0x10; };
  return code[-5] == 0xE8 || indirect(2) || indirect(3) || indirect(6);
}

// GCC keeps no frame in a leaf function, whatever the flags say, and a
// stack overflow faults in a prologue before the frame is made: then the
// frame pointer is still the caller's, and the return address into the
// caller lies on top of the stack, above at most a few saved registers.
uintptr_t ReturnAddressOnTop(const CONTEXT& context) {
  for (uintptr_t slot = context.Esp; slot < context.Esp + 16 && slot < context.Ebp; slot += 4) {
    if (!OnThisStack(slot)) break;
    const uintptr_t value = *reinterpret_cast<const uintptr_t*>(slot);
    if (FollowsCall(value)) return value;
  }
  return 0;
}

// The 32-bit build keeps frame pointers: each frame holds the caller's
// frame pointer and, above it, the return address.
int WalkFrom(const CONTEXT& context, uintptr_t* addresses, int capacity) {
  int count = 0;
  addresses[count++] = context.Eip;
  const uintptr_t onTop = ReturnAddressOnTop(context);
  if (onTop != 0 && count < capacity) addresses[count++] = onTop;
  uintptr_t frame = context.Ebp;
  while (count < capacity && OnThisStack(frame) && OnThisStack(frame + 4)) {
    const auto* slots = reinterpret_cast<const uintptr_t*>(frame);
    if (slots[1] == 0) break;
    addresses[count++] = slots[1];
    if (slots[0] <= frame) break;
    frame = slots[0];
  }
  return count;
}

[[gnu::noipa]] uintptr_t ReturnAddress() { return reinterpret_cast<uintptr_t>(__builtin_return_address(0)); }

// The 32-bit RtlCaptureContext describes its caller's caller (it takes the
// return address and frame pointer from its caller's frame), so a walk
// from it left out the function that asked, and a stop named the caller
// of the function that had found the error. The frame is taken by hand.
[[gnu::always_inline]] inline void CaptureThisFrame(CONTEXT& context) {
  context.Eip = ReturnAddress();
  context.Ebp = reinterpret_cast<uintptr_t>(__builtin_frame_address(0));
  context.Esp = context.Ebp;  // nothing on top: this function has its frame
}

#endif

// A walk from here starts in this function on every processor, as a
// fault's walk starts at the faulting instruction.
[[gnu::noinline]] int WalkFromHere(uintptr_t* addresses, int capacity) {
  CONTEXT context;
  CaptureThisFrame(context);
  return WalkFrom(context, addresses, capacity);
}

void NoteOwnImage() {
  const HMODULE module = GetModuleHandleA(nullptr);
  const auto* base = reinterpret_cast<const unsigned char*>(module);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* headers = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  imageStart = reinterpret_cast<uintptr_t>(base);
  preferredBase = static_cast<uintptr_t>(headers->OptionalHeader.ImageBase);
  const IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(headers);
  uintptr_t start = UINTPTR_MAX;
  uintptr_t end = 0;
  for (WORD i = 0; i < headers->FileHeader.NumberOfSections; ++i, ++section) {
    if ((section->Characteristics & IMAGE_SCN_MEM_EXECUTE) == 0) continue;
    const uintptr_t low = imageStart + section->VirtualAddress;
    const uintptr_t high = low + section->Misc.VirtualSize;
    if (low < start) start = low;
    if (high > end) end = high;
  }
  if (end > start) {
    codeStart = start;
    codeEnd = end;
  }
}

}  // namespace

void NoteFaultContext(const CONTEXT* context) { faultContext = context; }

void PrepareStackWalk() {
  NoteOwnImage();
  GetCurrentThreadStackLimits(&stackLow, &stackHigh);
  // The first walk looks the unwind tables up, which must not happen for
  // the first time inside a fault handler.
  uintptr_t frames[4];
  WalkFromHere(frames, 4);
}

int WalkStack(uintptr_t* addresses, int capacity) {
  if (capacity <= 0) return 0;
  if (faultContext != nullptr) {
    const CONTEXT* context = faultContext;
    faultContext = nullptr;  // a later walk, after a fault inside the stop, starts afresh
    return WalkFrom(*context, addresses, capacity);
  }
  return WalkFromHere(addresses, capacity);
}

[[gnu::noipa]] uintptr_t CallerReturnAddress() {
  // The walk starts in WalkFromHere, called from here; then comes the
  // function that called this one, and that one's caller is asked for.
  uintptr_t frames[4];
  const int count = WalkFromHere(frames, 4);
  return count >= 4 ? frames[3] : 0;
}

bool InOwnImage(uintptr_t address) { return address >= codeStart && address < codeEnd; }

uint64_t PrintedPlace(uintptr_t address) {
  return InOwnImage(address) ? address - imageStart + preferredBase : address;
}
