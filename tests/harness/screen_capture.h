// The emulated terminal: a libvterm screen fed with what the program sent,
// read back into the harness's cells.
#pragma once

#include <cstddef>
#include <string>

#include <vterm.h>

#include "harness/terminal_harness.h"

namespace harness {

struct ScreenCapture {
  VTerm* terminal = nullptr;
  VTermScreen* screen = nullptr;
  VTermState* state = nullptr;
  int answerTo = -1;  // where the terminal's answers to queries go
  std::string unfinished;  // the start of a UTF-8 character cut by a read
};

void OpenScreen(ScreenCapture* capture, int columns, int rows);
void FeedScreen(ScreenCapture* capture, const char* bytes, size_t count);
// Fills the screen, its size and the cursor of *result.
void ReadScreen(const ScreenCapture& capture, RunResult* result);
void CloseScreen(ScreenCapture* capture);

}  // namespace harness
