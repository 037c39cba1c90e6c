#include <windows.h>

#include "runtime/write_all.h"

namespace {

// WriteFile takes a 32-bit count; larger writes go in pieces.
constexpr size_t kLargestWrite = 1u << 30;

}  // namespace

bool WriteAll(intptr_t handle, const void* bytes, size_t count) {
  const auto* next = static_cast<const uint8_t*>(bytes);
  while (count > 0) {
    DWORD written = 0;
    const auto asked = static_cast<DWORD>(count < kLargestWrite ? count : kLargestWrite);
    if (!WriteFile(reinterpret_cast<HANDLE>(handle), next, asked, &written, nullptr) || written == 0) return false;
    next += written;
    count -= written;
  }
  return true;
}
