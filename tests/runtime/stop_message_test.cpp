#include <gtest/gtest.h>

#include <string>

#include "runtime/stop_message.h"

namespace {

std::string HeadLine(uint16_t number, uint64_t place) {
  char line[kStopLineCapacity];
  return std::string(line, FormatStopHeadLine(line, number, place));
}

std::string PlaceLine(uint64_t place) {
  char line[kStopLineCapacity];
  return std::string(line, FormatStopPlaceLine(line, place));
}

TEST(StopMessageLines, NumberInDecimalPlaceInEightUppercaseDigits) {
  EXPECT_EQ(HeadLine(101, 0x1A2B), "Runtime error 101 at 0x00001A2B\r\n");
  EXPECT_EQ(HeadLine(2, 0), "Runtime error 2 at 0x00000000\r\n");
  EXPECT_EQ(HeadLine(65535, 0xFFFFFFFF), "Runtime error 65535 at 0xFFFFFFFF\r\n");
  EXPECT_EQ(HeadLine(0, 0xabcdef), "Runtime error 0 at 0x00ABCDEF\r\n");
  EXPECT_EQ(PlaceLine(0xDEADBEEF), "  0xDEADBEEF\r\n");
  EXPECT_EQ(PlaceLine(0x10), "  0x00000010\r\n");
}

TEST(StopMessageLines, AWiderPlaceIsWrittenWholeNotCut) {
  EXPECT_EQ(PlaceLine(0x123456789ULL), "  0x123456789\r\n");
  EXPECT_EQ(HeadLine(216, 0xFFFFFFFFFFFFFFFFULL), "Runtime error 216 at 0xFFFFFFFFFFFFFFFF\r\n");
  EXPECT_LE(HeadLine(65535, 0xFFFFFFFFFFFFFFFFULL).size(), kStopLineCapacity);
}

}  // namespace
