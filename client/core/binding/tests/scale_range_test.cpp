// The recognition ranges, the shown weight and the live weight's bits.
#include <gtest/gtest.h>

#include <bit>
#include <clocale>
#include <limits>

#include "client/core/binding/scale_range.h"

namespace {

intptr_t Bits(float weight) { return static_cast<intptr_t>(std::bit_cast<uint32_t>(weight)); }

TEST(ScaleRange, AStoredRangeSelectsTheOptionWithinOneHundredthOfIt) {
  EXPECT_EQ(ScopeOptionOf(0.5f), 1);
  EXPECT_EQ(ScopeOptionOf(0.505f), 1);
  EXPECT_EQ(ScopeOptionOf(0.495f), 1);
  EXPECT_EQ(ScopeOptionOf(1.0f), 2);
  EXPECT_EQ(ScopeOptionOf(0.52f), 3);
  EXPECT_EQ(ScopeOptionOf(2.0f), 3);
  EXPECT_EQ(ScopeOptionOf(0.0f), 3);
  EXPECT_EQ(ScopeOptionOf(std::numeric_limits<float>::quiet_NaN()), 3);
  EXPECT_FLOAT_EQ(ScopeOfOption(1), 0.5f);
  EXPECT_FLOAT_EQ(ScopeOfOption(2), 1.0f);
  EXPECT_FLOAT_EQ(ScopeOfOption(3), 2.0f);
  EXPECT_FLOAT_EQ(ScopeOfOption(0), 2.0f);
}

TEST(ScaleRange, TheWeightIsShownWithOneDecimalAndAPointInAnyLocale) {
  EXPECT_EQ(WeightText(62.44f), "62.4kg");
  EXPECT_EQ(WeightText(50.0f), "50.0kg");
  const char* old = std::setlocale(LC_NUMERIC, nullptr);
  std::string saved = old ? old : "C";
  if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8")) {
    EXPECT_EQ(WeightText(70.25f), "70.2kg");
    std::setlocale(LC_NUMERIC, saved.c_str());
  }
}

TEST(ScaleRange, OnlyAWeightAFrameCanCarryComesOutOfTheMessage) {
  ASSERT_TRUE(LiveWeightOf(Bits(62.4f)));
  EXPECT_FLOAT_EQ(*LiveWeightOf(Bits(62.4f)), 62.4f);
  EXPECT_FLOAT_EQ(*LiveWeightOf(Bits(0.0f)), 0.0f);
  EXPECT_FLOAT_EQ(*LiveWeightOf(Bits(6553.5f)), 6553.5f);
  EXPECT_FALSE(LiveWeightOf(Bits(6553.6f)));
  EXPECT_FALSE(LiveWeightOf(Bits(-1.0f)));
  EXPECT_FALSE(LiveWeightOf(Bits(std::numeric_limits<float>::quiet_NaN())));
  EXPECT_FALSE(LiveWeightOf(Bits(std::numeric_limits<float>::infinity())));
}

}  // namespace
