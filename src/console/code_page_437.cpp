// The glyphs of code page 437, the character set the tool's screens were
// drawn in, as UTF-8 for a terminal that shows Unicode.
#include "console/terminal_text.h"

namespace {

// Control bytes show as the pictures the code page gives them, except 0,
// which the code page leaves blank.
const char* const kControlGlyphs[32] = {
    " ", "☺", "☻", "♥", "♦", "♣", "♠", "•", "◘", "○", "◙", "♂", "♀", "♪", "♫", "☼",
    "►", "◄", "↕", "‼", "¶", "§", "▬", "↨", "↑", "↓", "→", "←", "∟", "↔", "▲", "▼",
};

// Sixteen glyphs a row, as the code page lays them out.
// clang-format off
const char* const kUpperGlyphs[128] = {
    "Ç", "ü", "é", "â", "ä", "à", "å", "ç", "ê", "ë", "è", "ï", "î", "ì", "Ä", "Å",
    "É", "æ", "Æ", "ô", "ö", "ò", "û", "ù", "ÿ", "Ö", "Ü", "¢", "£", "¥", "₧", "ƒ",
    "á", "í", "ó", "ú", "ñ", "Ñ", "ª", "º", "¿", "⌐", "¬", "½", "¼", "¡", "«", "»",
    "░", "▒", "▓", "│", "┤", "╡", "╢", "╖", "╕", "╣", "║", "╗", "╝", "╜", "╛", "┐",
    "└", "┴", "┬", "├", "─", "┼", "╞", "╟", "╚", "╔", "╩", "╦", "╠", "═", "╬", "╧",
    "╨", "╤", "╥", "╙", "╘", "╒", "╓", "╫", "╪", "┘", "┌", "█", "▄", "▌", "▐", "▀",
    "α", "ß", "Γ", "π", "Σ", "σ", "µ", "τ", "Φ", "Θ", "Ω", "δ", "∞", "φ", "ε", "∩",
    "≡", "±", "≥", "≤", "⌠", "⌡", "÷", "≈", "°", "∙", "·", "√", "ⁿ", "²", "■", "\u00A0",
};
// clang-format on

// The printable ASCII bytes stand for themselves; one string holds them
// all so that each can be handed out as a view without a table of its own.
constexpr char kPrintable[] =
    " !\"#$%&'()*+,-./0123456789:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[\\]^_`"
    "abcdefghijklmnopqrstuvwxyz{|}~";

}  // namespace

std::string_view CodePage437Utf8(uint8_t byte) {
  if (byte < 32) return kControlGlyphs[byte];
  if (byte == 127) return "⌂";
  if (byte >= 128) return kUpperGlyphs[byte - 128];
  return std::string_view(kPrintable + (byte - 32), 1);
}
