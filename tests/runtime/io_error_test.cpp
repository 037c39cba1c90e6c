#include <gtest/gtest.h>

#include "runtime/io_error.h"

namespace {

TEST(IoError, TheFirstNumberStaysUntilTakenAndCheckIgnoresNothingPending) {
  TakeIoError();
  CheckIo();  // would end the test process if it stopped
  StoreIoError(0);
  EXPECT_EQ(PendingIoError(), 0);
  for (uint16_t number : {3, 101, 5}) StoreIoError(number);
  EXPECT_EQ(PendingIoError(), 3);
  EXPECT_EQ(TakeIoError(), 3);
  EXPECT_EQ(TakeIoError(), 0);
  StoreIoError(101);
  EXPECT_EQ(TakeIoError(), 101);
}

}  // namespace
