#include "tool/report_format.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(ReportFormatTest, PositionsWidenOnlyPastEightDigits) {
  const std::pair<int64_t, int> digits[] = {{-1, 8},           {0xFFFFFFFF, 8},
                                            {0x100000000, 9},  {0x1000000000, 10},
                                            {INT64_MAX, 16}};
  for (auto [largest, count] : digits) EXPECT_EQ(PositionDigits(largest), count) << largest;

  const struct {
    uint64_t position;
    int digits;
    const char* text;
  } leads[] = {{0, 8, "00000000  "},
               {0xFEDCBA98, 8, "FEDCBA98  "},
               {5, 9, "000000005  "},
               {0xABCDEF0123, 10, "ABCDEF0123  "}};
  for (const auto& c : leads) {
    char out[kLongestLead];
    EXPECT_EQ(std::string(out, FormatLead(c.position, c.digits, out)), c.text);
  }
  EXPECT_EQ(HeaderLead(8), "Files:    ");
  EXPECT_EQ(HeaderLead(9), "Files:     ");
}

std::string Column(int b, bool terminal) {
  const ColumnText& column = ColumnTexts(terminal)[b];
  return std::string(column.text, column.length);
}

// A terminal column is 14 characters of UTF-8 and holds no control byte.
TEST(ReportFormatTest, TerminalColumnsAreCodePage437) {
  for (int b = 0; b < 256; ++b) {
    int characters = 0;
    for (char c : Column(b, true)) {
      characters += (static_cast<uint8_t>(c) & 0xC0) != 0x80;
      EXPECT_GE(static_cast<uint8_t>(c), 0x20) << b;
    }
    EXPECT_EQ(characters, 14) << b;
  }
  EXPECT_EQ(Column(0x0A, true), " \u2502 10  $0A '.'");
  EXPECT_EQ(Column(0x80, true), " \u2502128  $80 '\u00C7'");
  EXPECT_EQ(Column(0xB3, true), " \u2502179  $B3 '\u2502'");
}

TEST(ReportFormatTest, NameFields) {
  EXPECT_EQ(HeaderNameField("abcdefgh.bin", kNameField, false), "abcdefgh.bin");
  EXPECT_EQ(HeaderNameField("abcdefghi.bin", kNameField, false), "abcdefghi.bin");
  EXPECT_EQ(HeaderNameField("\x1B[2J\xB3", kNameField, false), "       \x1B[2J\xB3");
  // A file receives bytes: the field counts them.
  EXPECT_EQ(HeaderNameField("\xC3\xBC" "ber.bin", kNameField, false), "   \xC3\xBC" "ber.bin");
  // On a terminal valid UTF-8 passes and the field counts cells.
  EXPECT_EQ(HeaderNameField("na\u00EFve.bin", kNameField, true), "   na\u00EFve.bin");
  EXPECT_EQ(HeaderNameField("\u6587\u4EF6.bin", kNameField, true), "    \u6587\u4EF6.bin");
  EXPECT_EQ(HeaderNameField("\xE9.bin", kNameField, true), "       \u0398.bin");
  // Control bytes never reach the terminal as such.
  EXPECT_EQ(HeaderNameField("\x1B[2J\r\n", kNameField, true), "      \u2190[2J\u266A\u25D9");
}

}  // namespace
