#include "platform/number_text.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "platform/tests/comma_locale.h"

using platform::FixedText;
using platform::LeadingDecimal;
using testing_support::CommaLocale;

TEST(NumberText, WritesAndReadsAPointUnderACommaLocale) {
  CommaLocale comma;
  if (!comma.Active()) GTEST_SKIP() << comma.Missing();
  char printed[16];
  std::snprintf(printed, sizeof printed, "%.1f", 68.4);
  ASSERT_STREQ(printed, "68,4") << "the locale really writes a comma";

  EXPECT_EQ(FixedText(68.4f, 1), "68.4");
  EXPECT_EQ(FixedText(1.5, 1), "1.5");
  EXPECT_EQ(FixedText(-0.25, 1), "-0.2") << "halves round to even, as printf rounds them";
  EXPECT_EQ(FixedText(70.05, 2), "70.05");
  EXPECT_EQ(FixedText(123.0, 0), "123");
  EXPECT_EQ(LeadingDecimal("68.4"), 68.4);
  EXPECT_EQ(LeadingDecimal(" +1.5kg"), 1.5);
  EXPECT_EQ(LeadingDecimal("68,4"), 68.0) << "a comma ends the number as it does in the C locale";
}

TEST(NumberText, RefusesWhatIsNotAFiniteNumber) {
  EXPECT_FALSE(LeadingDecimal(""));
  EXPECT_FALSE(LeadingDecimal("kg"));
  EXPECT_FALSE(LeadingDecimal("1e999"));
  EXPECT_FALSE(LeadingDecimal("nan"));
  EXPECT_FALSE(LeadingDecimal("+-1"));
  EXPECT_EQ(FixedText(1e300, 1).size(), 303u);
}
