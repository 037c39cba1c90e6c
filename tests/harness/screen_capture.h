// The emulated terminal: a libvterm screen fed with what the program sent,
// read back into the harness's cells once the run is over.
#pragma once

#include <string>
#include <vector>

#include <vterm.h>

#include "harness/terminal_harness.h"

namespace harness {

struct ScreenCapture {
  VTerm* terminal = nullptr;
  VTermScreen* screen = nullptr;
  VTermState* state = nullptr;
  VTermScreenCallbacks callbacks = {};
  std::string replies;                    // the terminal's answers, not yet sent
  std::vector<std::string> scrolledOff;
};

// The capture must stay at one address while open: libvterm keeps a pointer.
void OpenScreen(ScreenCapture* capture, int columns, int rows);
void FeedScreen(ScreenCapture* capture, const char* bytes, size_t count);
void ReadScreen(const ScreenCapture& capture, RunResult* result);
void CloseScreen(ScreenCapture* capture);

}  // namespace harness
