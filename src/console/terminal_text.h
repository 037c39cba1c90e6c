// How bytes of a text are shown on a UTF-8 terminal without ever reaching
// it as control codes: valid displayable UTF-8 sequences pass as one
// character, every other byte is shown as its code page 437 glyph.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// UTF-8 of the code page 437 glyph for any byte: control bytes get their
// pictures (0 a blank, 9 "○", 27 "←"), 0x7F "⌂", 0x80..0xFF the upper half.
// Bytes 32..126 are themselves.
std::string_view CodePage437Utf8(uint8_t byte);

// Length in bytes (1..4) of the well-formed UTF-8 character that starts
// at text[at], its code point in *code; 0 when none does: a continuation
// byte, an overlong or cut sequence, a surrogate, a code past U+10FFFF.
int DecodeUtf8Character(std::string_view text, size_t at, char32_t* code);

// Length in bytes (2..4) of the displayable multi-byte UTF-8 character
// that starts at text[at], or 0 when none does: ASCII, malformed or
// overlong sequences, surrogates, noncharacters, C1 controls and
// characters that a terminal would not advance the cursor for.
// When the result is not 0 and cells is not null, *cells receives the
// number of terminal cells the character takes (1, or 2 when wide).
int ValidUtf8CharacterLength(std::string_view text, size_t at, int* cells);

// The text as a terminal is sent it: every valid displayable UTF-8
// character whole, every other byte, control bytes included, as its code
// page 437 glyph, so a text can never steer the terminal. *cells receives
// the number of terminal cells it takes.
std::string TerminalText(std::string_view text, int* cells);
