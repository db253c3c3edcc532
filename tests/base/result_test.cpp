#include "base/result.h"

#include <gtest/gtest.h>

// A failure must never read as success, even when its reason got lost on the way.
TEST(BaseResult, AFailureWithoutAReasonStillFails) {
  EXPECT_TRUE(Result{});
  EXPECT_FALSE(Fail("no display"));
  EXPECT_EQ(Fail("no display").error, "no display");
  const Result unexplained = Fail("");
  EXPECT_FALSE(unexplained);
  EXPECT_FALSE(unexplained.error.empty());
}
