// How bytes are shown on a UTF-8 terminal: the code page 437 glyphs and
// which UTF-8 sequences pass as characters.
#include <gtest/gtest.h>

#include <string>

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

// Length 0: not a character that may reach the terminal as it is, so each
// byte is drawn as its own code page 437 glyph instead.
TEST(Utf8Characters, DisplayableSequencesPassEverythingElseIsRefused) {
  const struct {
    std::string bytes;
    int length, cells;
  } cases[] = {
      {"\xC3\xA9xyz", 2, 1},       {"\xC2\xA0", 2, 1},         {"\xE2\x94\x80", 3, 1},
      {"\xE6\x97\xA5", 3, 2},      {"\xEF\xBD\xB1", 3, 1},     {"\xF0\x9F\x98\x80", 4, 2},
      {"A", 0, 0},                 {std::string(1, '\0'), 0, 0}, {"\x80", 0, 0},
      {"\xE6\x97", 0, 0},          {"\xC3(", 0, 0},            {"\xE0\x80\xAF", 0, 0},
      {"\xF4\x90\x80\x80", 0, 0},  {"\xFF", 0, 0},             {"\xED\xA0\x80", 0, 0},
      {"\xC2\x9B", 0, 0},          {"\xCC\x81", 0, 0},         {"\xE2\x80\x8B", 0, 0},
      {"\xE2\x80\xAE", 0, 0},      {"\xEF\xBF\xBE", 0, 0},      {"\xC0\xAF", 0, 0},
  };
  for (const auto& c : cases) {
    int cells = 0;
    EXPECT_EQ(ValidUtf8CharacterLength(c.bytes, 0, &cells), c.length) << testing::PrintToString(c.bytes);
    EXPECT_TRUE(c.length == 0 || cells == c.cells) << testing::PrintToString(c.bytes) << ": " << cells;
  }
  // Only the given position counts, and a sequence cut short by the end of
  // the view is not a character.
  const std::string text = "a\xC3\xA9\xE6\x97\xA5";
  const int lengths[] = {0, 2, 0, 3, 0, 0, 0};
  for (size_t at = 0; at <= text.size(); ++at) {
    EXPECT_EQ(ValidUtf8CharacterLength(text, at, nullptr), lengths[at]) << at;
  }
  EXPECT_EQ(ValidUtf8CharacterLength(std::string_view(text).substr(0, 5), 3, nullptr), 0);
}

}  // namespace
