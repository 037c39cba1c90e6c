// How bytes are shown on a UTF-8 terminal: the code page 437 glyphs and
// which UTF-8 sequences pass as characters.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "console/terminal_text.h"

namespace {

// Whatever the byte, its glyph is one displayable character of one cell
// (or a blank) that holds no control code a terminal could act on;
// printable ASCII stands for itself.
TEST(CodePage437, EveryGlyphIsOneSafeCell) {
  for (int byte = 0; byte < 256; ++byte) {
    SCOPED_TRACE(byte);
    const std::string_view glyph = CodePage437Utf8(static_cast<uint8_t>(byte));
    int cells = 0;
    if (byte >= 0x20 && byte < 0x7F) {
      ASSERT_EQ(glyph, std::string(1, static_cast<char>(byte)));
    } else if (glyph != " ") {
      ASSERT_EQ(ValidUtf8CharacterLength(glyph, 0, &cells), static_cast<int>(glyph.size()));
      ASSERT_EQ(cells, 1);
    }
  }
}

TEST(Utf8Characters, DisplayableSequencesPass) {
  const struct {
    const char* name;
    std::string bytes;
    int length;
    int cells;
  } cases[] = {
      {"two-byte letter", "\xC3\xA9", 2, 1}, {"no-break space", "\xC2\xA0", 2, 1},
      {"three-byte symbol", "\xE2\x82\xAC", 3, 1}, {"box drawing", "\xE2\x94\x80", 3, 1},
      {"CJK ideograph", "\xE6\x97\xA5", 3, 2}, {"Hangul syllable", "\xED\x95\x9C", 3, 2},
      {"fullwidth A", "\xEF\xBC\xA1", 3, 2}, {"halfwidth katakana", "\xEF\xBD\xB1", 3, 1},
      {"emoji", "\xF0\x9F\x98\x80", 4, 2}, {"CJK extension B", "\xF0\xA0\x80\x80", 4, 2},
      {"followed by more text", "\xC3\xA9xyz", 2, 1},
  };
  for (const auto& c : cases) {
    int cells = 0;
    EXPECT_EQ(ValidUtf8CharacterLength(c.bytes, 0, &cells), c.length) << c.name;
    EXPECT_EQ(cells, c.cells) << c.name;
  }
}

// None of these may reach the terminal as they are: each byte is drawn
// as its own code page 437 glyph instead.
TEST(Utf8Characters, EverythingElseIsRefused) {
  const std::pair<const char*, std::string> cases[] = {
      {"ASCII", "A"}, {"NUL", std::string(1, '\0')},
      {"lone continuation", "\x80"}, {"truncated", "\xC3"},
      {"truncated three-byte", "\xE6\x97"}, {"bad continuation", "\xC3("},
      {"overlong two-byte", "\xC0\xAF"}, {"overlong three-byte", "\xE0\x80\xAF"},
      {"overlong four-byte", "\xF0\x80\x80\xAF"}, {"beyond U+10FFFF", "\xF4\x90\x80\x80"},
      {"lead F5", "\xF5\x80\x80\x80"}, {"lead FF", "\xFF"},
      {"surrogate", "\xED\xA0\x80"}, {"C1 control NEL", "\xC2\x85"},
      {"C1 control CSI", "\xC2\x9B"}, {"combining acute", "\xCC\x81"},
      {"zero-width space", "\xE2\x80\x8B"}, {"right-to-left override", "\xE2\x80\xAE"},
      {"byte order mark", "\xEF\xBB\xBF"}, {"variation selector", "\xEF\xB8\x8F"},
      {"noncharacter U+FFFE", "\xEF\xBF\xBE"}, {"noncharacter U+FDD0", "\xEF\xB7\x90"},
      {"noncharacter U+1FFFF", "\xF0\x9F\xBF\xBF"},
  };
  for (const auto& [name, bytes] : cases) EXPECT_EQ(ValidUtf8CharacterLength(bytes, 0, nullptr), 0) << name;
}

TEST(Utf8Characters, LooksAtTheGivenPositionOnly) {
  const std::string text = "a\xC3\xA9\xE6\x97\xA5";
  const int lengths[] = {0, 2, 0, 3, 0, 0, 0};
  for (size_t at = 0; at <= text.size(); ++at) {
    EXPECT_EQ(ValidUtf8CharacterLength(text, at, nullptr), lengths[at]) << at;
  }
  EXPECT_EQ(ValidUtf8CharacterLength(text, 100, nullptr), 0);
  // A sequence cut short by the end of the view is not a character.
  EXPECT_EQ(ValidUtf8CharacterLength(std::string_view(text).substr(0, 5), 3, nullptr), 0);
}

}  // namespace
