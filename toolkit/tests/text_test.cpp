// Where text lands and in which colour: label alignment and text padding, wrapping, disabled
// text, and the inline colour markup as the windows write it.

#include "toolkit/skin/markup.h"
#include "toolkit/testing/skin_folder.h"
#include "toolkit/tests/ink.h"

using namespace toolkit_testing;

namespace {

constexpr uint32_t kWhite = 0xFFFFFFFFu;

class Text : public SkinFolderTest {
 protected:
  // One 200 by 40 label per row, black text on white.
  std::unique_ptr<SkinWindow> Rows(const std::string& labels, int rows) {
    return Open(R"(<Window size="200,)" + std::to_string(rows * 40) +
                    R"("><VerticalLayout bkcolor="#FFFFFFFF">)" + labels + "</VerticalLayout></Window>",
                200, rows * 40);
  }
  static CRect Row(int i) { return CRect(0, i * 40, 200, i * 40 + 40); }
};

}  // namespace

TEST_F(Text, AlignmentAndPaddingPlaceTheInk) {
  auto w = Rows(R"(
      <Label height="40" text="国国" textcolor="#FF000000"/>
      <Label height="40" text="国国" textcolor="#FF000000" align="center"/>
      <Label height="40" text="国国" textcolor="#FF000000" align="right"/>
      <Label height="40" text="国国" textcolor="#FF000000" textpadding="50,0,0,0"/>
      <Label height="40" text="国国" textcolor="#FF000000" align="right" textpadding="0,0,60,0"/>
      <Label height="40" text="国国" textcolor="#FF000000" valign="top"/>
      <Label height="40" text="国国" textcolor="#FF000000" valign="bottom"/>)", 7);
  Shot shot = Take(*w);
  Ink ink[7];
  for (int i = 0; i < 7; ++i) {
    ink[i] = InkOver(shot.surface, Row(i), kWhite);
    ASSERT_GT(ink[i].count, 0) << "row " << i;
  }
  EXPECT_LT(ink[0].box.left, 5);
  int centre = (ink[1].box.left + ink[1].box.right) / 2;
  EXPECT_NEAR(centre, 100, 4);
  EXPECT_GT(ink[2].box.right, 194);
  EXPECT_GE(ink[3].box.left, 50);
  EXPECT_LT(ink[3].box.left, 55);
  EXPECT_LE(ink[4].box.right, 140);
  EXPECT_GT(ink[4].box.right, 134);
  // Vertically centred by default; top and bottom as asked.
  int middle = (ink[0].box.top + ink[0].box.bottom) / 2;
  EXPECT_NEAR(middle, 20, 4);
  EXPECT_LT(ink[5].box.top - 200, 6);
  EXPECT_GT(ink[6].box.bottom - 240, 34);
  DestroyWindow(*w);
}

TEST_F(Text, TextControlsWrapAndLabelsKeepToOneLine) {
  const std::string line = "这是一段很长的提示文字需要换行显示";
  auto w = Rows("<Label height=\"40\" width=\"60\" textcolor=\"#FF000000\" text=\"" + line +
                    "\"/><Text height=\"80\" width=\"60\" textcolor=\"#FF000000\" text=\"" + line + "\"/>",
                3);
  Shot shot = Take(*w);
  Ink label = InkOver(shot.surface, Row(0), kWhite);
  Ink text = InkOver(shot.surface, CRect(0, 40, 200, 120), kWhite);
  ASSERT_GT(label.count, 0);
  EXPECT_LE(label.box.right, 60);  // cut at the control's edge
  EXPECT_GT(text.box.GetHeight(), 2 * label.box.GetHeight());
  EXPECT_LE(text.box.right, 60);
  DestroyWindow(*w);
}

TEST_F(Text, DisabledLabelsUseTheirDisabledColourAndTextColourIgnoresAlpha) {
  auto w = Rows(R"(
      <Label name="off" height="40" text="国国" textcolor="#FFFF0000" enabled="false"/>
      <Label name="clear" height="40" text="国国" textcolor="#00FF0000"/>)", 2);
  {
    Shot shot = Take(*w);
    EXPECT_EQ(InkWhere(shot.surface, Row(0), Reddish).count, 0);
    EXPECT_GT(InkOver(shot.surface, Row(0), kWhite).count, 0);
    EXPECT_GT(InkWhere(shot.surface, Row(1), Reddish).count, 20);  // skins write alpha 0 and mean opaque
  }
  w->pm.FindControl("off")->SetEnabled(true);
  Shot shot = Take(*w);
  EXPECT_GT(InkWhere(shot.surface, Row(0), Reddish).count, 20);
  DestroyWindow(*w);
}

TEST_F(Text, MarkupColoursRunsButNotInEditsOrWhereSwitchedOff) {
  auto w = Rows(R"(
      <Label height="40" text="{c #FF0000}国国{/c}国国" textcolor="#FF000000"/>
      <Label height="40" text="{c #FF0000}国国国国" textcolor="#FF000000"/>
      <Label height="40" text="{c #FF0000}国国{/c}国国" textcolor="#FF000000" showhtml="false"/>
      <Edit height="40" text="{c #FF0000}国国{/c}" textcolor="#FF000000"/>
      <Label height="40" text="{x}{c}{" textcolor="#FF000000"/>)", 5);
  Shot shot = Take(*w);
  Ink red = InkWhere(shot.surface, Row(0), Reddish);
  Ink black = InkWhere(shot.surface, Row(0), Blackish);
  ASSERT_GT(red.count, 20);
  ASSERT_GT(black.count, 20);
  EXPECT_LT(red.box.right, black.box.left + 4);  // the coloured run first, then the plain text
  // Never closed: the colour runs to the end.
  EXPECT_GT(InkWhere(shot.surface, Row(1), Reddish).count, 40);
  EXPECT_EQ(InkWhere(shot.surface, Row(1), Blackish).count, 0);
  // Switched off, and in what a user types: the tags are text and nothing is red.
  EXPECT_EQ(InkWhere(shot.surface, Row(2), Reddish).count, 0);
  EXPECT_GT(InkOver(shot.surface, Row(2), kWhite).box.GetWidth(), red.box.GetWidth() + black.box.GetWidth());
  EXPECT_EQ(InkWhere(shot.surface, Row(3), Reddish).count, 0);
  // Braces that are no tags are drawn as they are.
  EXPECT_GT(InkOver(shot.surface, Row(4), kWhite).count, 0);
  DestroyWindow(*w);
}

TEST_F(Text, AProgramTurnsMarkupOffForTextItDoesNotWrite) {
  auto w = Rows(R"(<Label name="uname" height="40" textcolor="#FF000000"/>)", 1);
  auto* name = w->pm.FindControlAs<CLabelUI>("uname");
  ASSERT_TRUE(name->IsShowHtml());
  name->SetText("{c #FF0000}国国{/c}");  // a user's name that happens to look like a tag
  EXPECT_GT(InkWhere(Take(*w).surface, Row(0), Reddish).count, 20);
  name->SetShowHtml(false);
  EXPECT_FALSE(name->IsShowHtml());
  Shot shot = Take(*w);
  EXPECT_EQ(InkWhere(shot.surface, Row(0), Reddish).count, 0);
  EXPECT_GT(InkOver(shot.surface, Row(0), kWhite).box.GetWidth(), 60);  // the braces are drawn as text
  DestroyWindow(*w);
}

TEST(MarkupText, BracesRunsAndNesting) {
  using toolkit::ParseMarkup;
  using toolkit::StripMarkup;
  // The main window's texts.
  EXPECT_EQ(StripMarkup("{c #0c6eaf}已成功连接至Vymera服务器{/c}"), "已成功连接至Vymera服务器");
  auto runs = ParseMarkup("共{c #0c6eaf}3{/c}条{c #ff0000}{/c}新");
  ASSERT_EQ(runs.size(), 3u);  // an empty run adds nothing
  EXPECT_EQ(runs[2].text, "条新");
  EXPECT_FALSE(runs[2].color);

  EXPECT_EQ(StripMarkup("a{b c}d"), "a{b c}d");
  EXPECT_EQ(StripMarkup("{}x{c}"), "{}x{c}");
  EXPECT_EQ(StripMarkup("}{"), "}{");
  EXPECT_EQ(StripMarkup("{c #ff0000 }x{/c}"), "x");  // blanks around the colour are allowed
  EXPECT_EQ(StripMarkup("line{n}next"), "line\nnext");

  auto open = ParseMarkup("{c #ff0000}a{c #00ff00}b");
  ASSERT_EQ(open.size(), 2u);
  EXPECT_EQ(open[1].color, 0xFF00FF00u);  // both left open: the inner one to the end

  auto bold = ParseMarkup("{b}{b}x{/b}y{/b}z{/b}w");
  ASSERT_EQ(bold.size(), 2u);
  EXPECT_EQ(bold[0].text, "xy");
  EXPECT_TRUE(bold[0].bold);
  EXPECT_EQ(bold[1].text, "zw");  // a stray close does not go below zero
  EXPECT_FALSE(bold[1].bold);
}
