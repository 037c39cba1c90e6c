// The console window: a screen of cells, an output window with its own
// cursor, and the current text attribute (background * 16 + foreground).
#pragma once

#include <cstdint>
#include <string_view>

// Reaches the console, or ends the run with exit code 1 and a message on
// standard error. Called once at start-up, after the run-time layer.
void StartConsole();

// Blanks the window in the current attribute; the cursor goes to (1, 1).
void ClearWindow();

// Sets the window to screen columns left..right and rows top..bottom
// (1-based, inclusive); an impossible rectangle is ignored.
void SetWindow(uint8_t left, uint8_t top, uint8_t right, uint8_t bottom);

void SetTextAttribute(uint8_t attribute);

// Writes text right-aligned in a field of at least fieldWidth characters.
void WriteText(std::string_view text, int fieldWidth);

// Carriage return and line feed through the character rules.
void EndLine();
