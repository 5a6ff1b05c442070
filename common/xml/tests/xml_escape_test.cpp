#include "common/xml/xml_escape.h"

#include <gtest/gtest.h>

TEST(XmlEscape, SpecialCharactersBecomeEntitiesButReferencesStay) {
  EXPECT_EQ(XmlEscape("a<b>c&d\"e'f"), "a&lt;b&gt;c&amp;d&quot;e&apos;f");
  EXPECT_EQ(XmlEscape("&#x4E2D; & &#20013;"), "&#x4E2D; &amp; &#20013;");
  EXPECT_EQ(XmlEscape("中文"), "中文");
  EXPECT_EQ(XmlEscape("trailing&"), "trailing&amp;");
}

TEST(XmlEscape, UnescapeTurnsEntitiesAndReferencesBack) {
  EXPECT_EQ(XmlUnescape("&amp;&quot;&apos;&lt;&gt;"), "&\"'<>");
  EXPECT_EQ(XmlUnescape("&#x4E2D;&#X4e2d;&#20013;"), "中中中");
  EXPECT_EQ(XmlUnescape("&#x1F600;"), "😀");
}

TEST(XmlEscape, TheByteBehindTheDigitsIsDroppedWhateverItIs) {
  EXPECT_EQ(XmlUnescape("&#20013x"), "中");
  EXPECT_EQ(XmlUnescape("&#65"), "A");
  EXPECT_EQ(XmlUnescape("&#65 b"), "Ab");
}

TEST(XmlEscape, UnusableReferencesAndOtherAmpersandsStay) {
  EXPECT_EQ(XmlUnescape("&nbsp; & &am"), "&nbsp; & &am");
  EXPECT_EQ(XmlUnescape("&#;&#x;"), "&#;&#x;");
  EXPECT_EQ(XmlUnescape("&#x110000;"), "&#x110000;");            // beyond Unicode
  EXPECT_EQ(XmlUnescape("&#xD800;"), "&#xD800;");                // a surrogate is no character
  EXPECT_EQ(XmlUnescape("&#0;"), "&#0;");                        // no NUL byte inside a text
  EXPECT_EQ(XmlUnescape("&#99999999999999999999;"), "&#99999999999999999999;");
}

TEST(XmlEscape, RoundTripOfCallerText) {
  for (std::string text : {"plain", "a&b", "<tag attr=\"v\">", "it's", "中&文"}) {
    EXPECT_EQ(XmlUnescape(XmlEscape(text)), text);
  }
}
