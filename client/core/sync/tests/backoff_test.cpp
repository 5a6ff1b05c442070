#include "client/core/sync/backoff.h"

#include <gtest/gtest.h>

TEST(Backoff, WaitsLongerAfterEachFailureUpToTenMinutesAndASuccessStartsAnew) {
  Backoff b;
  std::time_t now = 1'000'000;
  EXPECT_TRUE(b.Due(now));
  for (int delay : {5, 30, 120, 600, 600, 600}) {
    b.Failed(now);
    EXPECT_FALSE(b.Due(now + delay - 1)) << delay;
    EXPECT_TRUE(b.Due(now + delay)) << delay;
    now += delay;
  }
  b.Succeeded();
  b.Failed(now);
  EXPECT_TRUE(b.Due(now + 5));
  // A clock set back does not hold the next try for hours.
  EXPECT_TRUE(b.Due(now - 3600));
}
