#include <gtest/gtest.h>

#include "runtime/io_error.h"

namespace {

class IoErrorState : public testing::Test {
 protected:
  void SetUp() override { TakeIoError(); }
  void TearDown() override { TakeIoError(); }
};

TEST_F(IoErrorState, StartsClearAndCheckDoesNothing) {
  EXPECT_EQ(PendingIoError(), 0);
  CheckIo();  // would end the test process if it stopped
  EXPECT_EQ(PendingIoError(), 0);
}

TEST_F(IoErrorState, TheFirstNumberStaysUntilTaken) {
  StoreIoError(3);
  StoreIoError(101);
  StoreIoError(5);
  EXPECT_EQ(PendingIoError(), 3);
  EXPECT_EQ(TakeIoError(), 3);
  EXPECT_EQ(PendingIoError(), 0);
  EXPECT_EQ(TakeIoError(), 0);
  StoreIoError(101);
  EXPECT_EQ(PendingIoError(), 101);
}

TEST_F(IoErrorState, StoringZeroLeavesNothingPending) {
  StoreIoError(0);
  StoreIoError(2);
  EXPECT_EQ(TakeIoError(), 2);
}

}  // namespace
