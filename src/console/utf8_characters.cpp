// Which UTF-8 sequences a terminal shows as one character of one or two
// cells. Anything a terminal might merge into the previous cell, skip, act
// on or draw at a width that terminals disagree on is refused, so that a
// caller drawing the bytes one by one instead never loses track of where
// the terminal's cursor is.
#include <algorithm>
#include <iterator>

#include "console/terminal_text.h"

namespace {

struct CodeRange {
  char32_t first;
  char32_t last;
};

// Combining marks, format and zero-width characters, and whole scripts
// whose vowel signs terminals place in ways that vary from one to the next.
constexpr CodeRange kNoAdvance[] = {
    {0x0300, 0x036F},   {0x0483, 0x0489},   {0x0591, 0x05BD},   {0x05BF, 0x05BF},   {0x05C1, 0x05C2},
    {0x05C4, 0x05C5},   {0x05C7, 0x05C7},   {0x0600, 0x0605},   {0x0610, 0x061A},   {0x061C, 0x061C},
    {0x064B, 0x065F},   {0x0670, 0x0670},   {0x06D6, 0x06DD},   {0x06DF, 0x06E4},   {0x06E7, 0x06E8},
    {0x06EA, 0x06ED},   {0x070F, 0x070F},   {0x0711, 0x0711},   {0x0730, 0x074A},   {0x07A6, 0x07B0},
    {0x07EB, 0x07F3},   {0x07FD, 0x07FD},   {0x0816, 0x082D},   {0x0859, 0x085B},   {0x0890, 0x08FF},
    {0x0900, 0x0DFF},   {0x0E31, 0x0E31},   {0x0E34, 0x0E3A},   {0x0E47, 0x0E4E},   {0x0EB1, 0x0EB1},
    {0x0EB4, 0x0EBC},   {0x0EC8, 0x0ECE},   {0x0F00, 0x109F},   {0x1160, 0x11FF},   {0x135D, 0x135F},
    {0x1712, 0x1715},   {0x1732, 0x1734},   {0x1752, 0x1753},   {0x1772, 0x1773},   {0x1780, 0x180F},
    {0x1885, 0x1886},   {0x18A9, 0x18A9},   {0x1920, 0x193B},   {0x1A00, 0x1AFF},   {0x1B00, 0x1BFF},
    {0x1C24, 0x1C37},   {0x1CD0, 0x1CF9},   {0x1DC0, 0x1DFF},   {0x200B, 0x200F},   {0x2028, 0x202E},
    {0x2060, 0x206F},   {0x20D0, 0x20FF},   {0x2CEF, 0x2CF1},   {0x2D7F, 0x2D7F},   {0x2DE0, 0x2DFF},
    {0x302A, 0x302F},   {0x3099, 0x309A},   {0xA66F, 0xA672},   {0xA674, 0xA67D},   {0xA69E, 0xA69F},
    {0xA6F0, 0xA6F1},   {0xA802, 0xA802},   {0xA806, 0xA806},   {0xA80B, 0xA80B},   {0xA823, 0xA82C},
    {0xA880, 0xA8FF},   {0xA926, 0xA92D},   {0xA947, 0xA953},   {0xA980, 0xAAFF},   {0xABE3, 0xABED},
    {0xD800, 0xDFFF},   {0xFB1E, 0xFB1E},   {0xFE00, 0xFE0F},   {0xFE20, 0xFE2F},   {0xFEFF, 0xFEFF},
    {0xFFF9, 0xFFFB},   {0x101FD, 0x101FD}, {0x10A01, 0x10A0F}, {0x10A38, 0x10A3F}, {0x11000, 0x11FFF},
    {0x16AF0, 0x16AF4}, {0x16B30, 0x16B36}, {0x16F4F, 0x16F92}, {0x1BC9D, 0x1BCA3}, {0x1D165, 0x1D169},
    {0x1D16D, 0x1D182}, {0x1D185, 0x1D18B}, {0x1D1AA, 0x1D1AD}, {0x1D242, 0x1D244}, {0x1E000, 0x1E02F},
    {0x1E130, 0x1E136}, {0x1E2EC, 0x1E2EF}, {0x1E8D0, 0x1E8D6}, {0x1E944, 0x1E94A}, {0x1F3FB, 0x1F3FF},
    {0xE0000, 0xE0FFF},
};

// East Asian Wide and Fullwidth characters, the two-cell ones that
// terminals agree on.
constexpr CodeRange kWide[] = {
    {0x1100, 0x115F},   {0x2329, 0x232A},   {0x2E80, 0x303E},   {0x3040, 0xA4CF},   {0xAC00, 0xD7A3},
    {0xF900, 0xFAFF},   {0xFE10, 0xFE19},   {0xFE30, 0xFE6F},   {0xFF00, 0xFF60},   {0xFFE0, 0xFFE6},
    {0x1F300, 0x1F64F}, {0x1F900, 0x1F9FF}, {0x20000, 0x2FFFD}, {0x30000, 0x3FFFD},
};

template <size_t N>
bool InRanges(const CodeRange (&ranges)[N], char32_t code) {
  const CodeRange* end = ranges + N;
  const CodeRange* found =
      std::upper_bound(ranges, end, code, [](char32_t c, const CodeRange& r) { return c < r.first; });
  return found != ranges && code <= std::prev(found)->last;
}

bool IsNoncharacter(char32_t code) { return (code >= 0xFDD0 && code <= 0xFDEF) || (code & 0xFFFE) == 0xFFFE; }

}  // namespace

int DecodeUtf8Character(std::string_view text, size_t at, char32_t* decoded) {
  if (at >= text.size()) return 0;
  const uint8_t lead = static_cast<uint8_t>(text[at]);
  int length;
  char32_t code;
  if (lead < 0x80) {
    length = 1;
    code = lead;
  } else if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    code = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    code = lead & 0x0F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    code = lead & 0x07;
  } else {
    return 0;  // a continuation byte, or a lead byte that is always overlong or too large
  }
  if (text.size() - at < static_cast<size_t>(length)) return 0;
  for (int i = 1; i < length; ++i) {
    const uint8_t next = static_cast<uint8_t>(text[at + i]);
    if ((next & 0xC0) != 0x80) return 0;
    code = (code << 6) | (next & 0x3F);
  }
  if ((length == 3 && code < 0x800) || (length == 4 && code < 0x10000)) return 0;
  if (code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
  *decoded = code;
  return length;
}

int ValidUtf8CharacterLength(std::string_view text, size_t at, int* cells) {
  char32_t code = 0;
  const int length = DecodeUtf8Character(text, at, &code);
  if (length < 2) return 0;
  if (code >= 0x80 && code <= 0x9F) return 0;  // C1 controls
  if (IsNoncharacter(code) || InRanges(kNoAdvance, code)) return 0;
  if (cells != nullptr) *cells = InRanges(kWide, code) ? 2 : 1;
  return length;
}

std::string TerminalText(std::string_view text, int* cells) {
  std::string shown;
  *cells = 0;
  for (size_t at = 0; at < text.size();) {
    int width = 1;
    const int length = ValidUtf8CharacterLength(text, at, &width);
    if (length > 0) {
      shown.append(text.substr(at, static_cast<size_t>(length)));
      at += static_cast<size_t>(length);
    } else {
      shown.append(CodePage437Utf8(static_cast<uint8_t>(text[at])));
      ++at;
    }
    *cells += width;
  }
  return shown;
}
