// How bytes are shown on a UTF-8 terminal: the code page 437 glyphs and
// which UTF-8 sequences pass as characters.
#include <gtest/gtest.h>

#include <string>

#include "console/terminal_text.h"

namespace {

TEST(CodePage437, KnownGlyphs) {
  struct Case {
    int byte;
    const char* glyph;
  };
  const Case cases[] = {
      {0x00, " "}, {0x01, "☺"}, {0x07, "•"}, {0x09, "○"}, {0x0A, "◙"}, {0x0D, "♪"},
      {0x1B, "←"}, {0x1F, "▼"}, {0x20, " "}, {0x41, "A"}, {0x7E, "~"}, {0x7F, "⌂"},
      {0x80, "Ç"}, {0x9F, "ƒ"}, {0xB0, "░"}, {0xC4, "─"}, {0xDB, "█"}, {0xE1, "ß"},
      {0xE6, "µ"}, {0xFE, "■"}, {0xFF, "\u00A0"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CodePage437Utf8(static_cast<uint8_t>(c.byte)), c.glyph) << "byte " << c.byte;
  }
}

// Whatever the byte, its glyph is one displayable character of one cell
// and holds no control code a terminal could act on.
TEST(CodePage437, EveryGlyphIsOneSafeCell) {
  for (int byte = 0; byte < 256; ++byte) {
    SCOPED_TRACE(byte);
    const std::string_view glyph = CodePage437Utf8(static_cast<uint8_t>(byte));
    ASSERT_FALSE(glyph.empty());
    for (char c : glyph) {
      const auto u = static_cast<uint8_t>(c);
      ASSERT_TRUE(u >= 0x20 && u != 0x7F);
    }
    if (glyph.size() == 1) {
      ASSERT_LT(static_cast<uint8_t>(glyph[0]), 0x80);
    } else {
      int cells = 0;
      ASSERT_EQ(ValidUtf8CharacterLength(glyph, 0, &cells), static_cast<int>(glyph.size()));
      ASSERT_EQ(cells, 1);
    }
  }
}

TEST(CodePage437, PrintableAsciiStandsForItself) {
  for (int byte = 0x20; byte < 0x7F; ++byte) {
    EXPECT_EQ(CodePage437Utf8(static_cast<uint8_t>(byte)), std::string(1, static_cast<char>(byte)));
  }
}

TEST(Utf8Characters, Classification) {
  struct Case {
    const char* name;
    std::string bytes;
    int length;
    int cells;
  };
  const Case cases[] = {
      {"two-byte letter", "\xC3\xA9", 2, 1},
      {"three-byte symbol", "\xE2\x82\xAC", 3, 1},
      {"box drawing", "\xE2\x94\x80", 3, 1},
      {"CJK ideograph", "\xE6\x97\xA5", 3, 2},
      {"Hangul syllable", "\xED\x95\x9C", 3, 2},
      {"fullwidth A", "\xEF\xBC\xA1", 3, 2},
      {"halfwidth katakana", "\xEF\xBD\xB1", 3, 1},
      {"emoji", "\xF0\x9F\x98\x80", 4, 2},
      {"CJK extension B", "\xF0\xA0\x80\x80", 4, 2},
      {"followed by more text", "\xC3\xA9xyz", 2, 1},
      {"ASCII", "A", 0, 0},
      {"NUL", std::string(1, '\0'), 0, 0},
      {"lone continuation", "\x80", 0, 0},
      {"truncated", "\xC3", 0, 0},
      {"truncated three-byte", "\xE6\x97", 0, 0},
      {"bad continuation", "\xC3(", 0, 0},
      {"overlong two-byte", "\xC0\xAF", 0, 0},
      {"overlong three-byte", "\xE0\x80\xAF", 0, 0},
      {"overlong four-byte", "\xF0\x80\x80\xAF", 0, 0},
      {"beyond U+10FFFF", "\xF4\x90\x80\x80", 0, 0},
      {"lead F5", "\xF5\x80\x80\x80", 0, 0},
      {"lead FF", "\xFF", 0, 0},
      {"surrogate", "\xED\xA0\x80", 0, 0},
      {"C1 control NEL", "\xC2\x85", 0, 0},
      {"C1 control CSI", "\xC2\x9B", 0, 0},
      {"combining acute", "\xCC\x81", 0, 0},
      {"zero-width space", "\xE2\x80\x8B", 0, 0},
      {"right-to-left override", "\xE2\x80\xAE", 0, 0},
      {"byte order mark", "\xEF\xBB\xBF", 0, 0},
      {"variation selector", "\xEF\xB8\x8F", 0, 0},
      {"noncharacter U+FFFE", "\xEF\xBF\xBE", 0, 0},
      {"noncharacter U+FDD0", "\xEF\xB7\x90", 0, 0},
      {"noncharacter U+1FFFF", "\xF0\x9F\xBF\xBF", 0, 0},
      {"no-break space", "\xC2\xA0", 2, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    int cells = 0;
    EXPECT_EQ(ValidUtf8CharacterLength(c.bytes, 0, &cells), c.length);
    if (c.length > 0) {
      EXPECT_EQ(cells, c.cells);
    }
  }
}

TEST(Utf8Characters, LooksAtTheGivenPositionOnly) {
  const std::string text = "a\xC3\xA9\xE6\x97\xA5";
  int cells = 0;
  EXPECT_EQ(ValidUtf8CharacterLength(text, 0, &cells), 0);
  EXPECT_EQ(ValidUtf8CharacterLength(text, 1, &cells), 2);
  EXPECT_EQ(ValidUtf8CharacterLength(text, 2, &cells), 0);
  EXPECT_EQ(ValidUtf8CharacterLength(text, 3, &cells), 3);
  EXPECT_EQ(cells, 2);
  EXPECT_EQ(ValidUtf8CharacterLength(text, 6, &cells), 0);
  EXPECT_EQ(ValidUtf8CharacterLength(text, 100, nullptr), 0);
  // A sequence cut short by the end of the view is not a character.
  EXPECT_EQ(ValidUtf8CharacterLength(std::string_view(text).substr(0, 5), 3, nullptr), 0);
}

}  // namespace
