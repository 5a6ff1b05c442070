#include <gtest/gtest.h>

#include "toolkit/core/rect.h"
#include "toolkit/core/std_string.h"

TEST(StdString, CountsAndCutsCodePointsNotBytes) {
  CStdString s("版本：1.0");
  EXPECT_EQ(s.GetLength(), 6);
  EXPECT_EQ(s.GetAt(0), U'版');
  EXPECT_EQ(s.GetAt(3), U'1');
  EXPECT_EQ(s.GetAt(6), 0u);
  EXPECT_EQ(s.GetAt(-1), 0u);
  EXPECT_EQ(s.Left(2), "版本");
  EXPECT_EQ(s.Left(99), s);
  EXPECT_TRUE(s.Left(-1).IsEmpty());
  EXPECT_EQ(s.Find("1.0"), 3);
  EXPECT_EQ(s.Find("本", 2), -1);
  EXPECT_EQ(s.Find("x"), -1);
  EXPECT_EQ(s.Mid(2, 2), "：1");
}

TEST(StdString, MalformedBytesCountOneEach) {
  CStdString s(std::string("a\xE7\x89", 3));  // a truncated three-byte sequence
  EXPECT_EQ(s.GetLength(), 3);
  EXPECT_EQ(s.GetAt(1), 0xE7u);
}

TEST(StdString, FormatsAndConcatenates) {
  CStdString s;
  s.Format("%d%%  正在同步... 请稍后", 33);
  EXPECT_EQ(s, "33%  正在同步... 请稍后");
  CStdString name = CStdString("User") + "1" + CStdString("_Name");
  name += "x";
  EXPECT_EQ(name, "User1_Namex");
  EXPECT_FALSE(name.IsEmpty());
  EXPECT_STREQ(name.GetData(), "User1_Namex");
}

TEST(Rect, EdgesAndIntersection) {
  CRect r(10, 20, 30, 50);
  EXPECT_EQ(r.GetWidth(), 20);
  EXPECT_EQ(r.GetHeight(), 30);
  EXPECT_TRUE(r.Contains(10, 20));
  EXPECT_FALSE(r.Contains(30, 20));
  EXPECT_FALSE(r.Contains(10, 50));
  r.Offset(5, -5);
  EXPECT_EQ(r, CRect(15, 15, 35, 45));
  EXPECT_TRUE(r.Intersect(CRect(100, 100, 200, 200)).IsEmpty());
  EXPECT_EQ(r.Intersect(CRect(0, 0, 20, 20)), CRect(15, 15, 20, 20));
}
