#include "platform/guid.h"

#include <gtest/gtest.h>

#include <set>

TEST(Guid, NewOnesAreRandomVersionFourAndDiffer) {
  std::set<platform::GuidBytes> seen;
  for (int i = 0; i < 64; ++i) {
    std::optional<platform::GuidBytes> guid = platform::NewGuid();
    ASSERT_TRUE(guid);
    // In text order: the version in the high half of byte 6, the variant's bits 10 atop byte 8.
    EXPECT_EQ((*guid)[6] >> 4, 4);
    EXPECT_EQ((*guid)[8] >> 6, 2);
    seen.insert(*guid);
  }
  EXPECT_EQ(seen.size(), 64u);
}
