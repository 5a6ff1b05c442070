// What skins and programs write as attributes: run-time attribute lists, class defaults, fonts by
// index, included skin files, the Window element's own attributes and colours.

#include "toolkit/testing/skin_folder.h"
#include "toolkit/tests/ink.h"

using namespace toolkit_testing;

namespace {
class Attributes : public SkinFolderTest {};
}  // namespace

TEST_F(Attributes, AttributeListsTakeBlanksSingleQuotesAndStopAtAnOpenQuote) {
  CButtonUI b;
  b.ApplyAttributeList("  name = \"User2_Menu\"\ttext=\"a b\"\n bkimage=\"file='usermenubtn.png' fade='100'\" tooltip=\"\" "
                       "userdata=\"3\" width=\"12");
  EXPECT_EQ(b.GetName(), "User2_Menu");
  EXPECT_EQ(b.GetText(), "a b");
  EXPECT_EQ(b.GetBkImage(), "file='usermenubtn.png' fade='100'");
  EXPECT_TRUE(b.GetToolTip().IsEmpty());
  EXPECT_EQ(b.GetTag(), 3u);
  EXPECT_EQ(b.GetFixedWidth(), 0);  // its value never closed
  // Later pairs win over earlier ones; unknown names change nothing.
  b.ApplyAttributeList(R"(text="x" colour="#FF0000" text="y")");
  EXPECT_EQ(b.GetText(), "y");
  b.ApplyAttributeList("");
  b.ApplyAttributeList("no pairs at all");
  EXPECT_EQ(b.GetName(), "User2_Menu");
  // A double quote inside a value ends it there: there is no escape for it.
  b.ApplyAttributeList(R"(text="say \"hi\"")");
  EXPECT_EQ(b.GetText(), "say \\");
}

TEST_F(Attributes, ClassDefaultsComeFirstAndOnlyForTheirOwnClass) {
  auto w = Open(R"(<Window size="200,100">
      <Default name="Button" value="height=&quot;20&quot; textcolor=&quot;#FF112233&quot; tooltip=&quot;按钮&quot;"/>
      <Default name="Option" value="group=&quot;g&quot;"/>
      <Default name="Label" value="textcolor=&quot;#FF000001&quot;"/>
      <Default name="Label" value="textcolor=&quot;#FF000002&quot;"/>
      <VerticalLayout>
        <Button name="plain"/>
        <Button name="own" height="30" tooltip="自己的"/>
        <Option name="opt"/>
        <Label name="lbl"/>
      </VerticalLayout>
    </Window>)", 200, 100);
  auto* plain = w->pm.FindControlAs<CButtonUI>("plain");
  EXPECT_EQ(plain->GetFixedHeight(), 20);
  EXPECT_EQ(plain->GetTextColor(), 0xFF112233u);
  EXPECT_EQ(plain->GetToolTip(), "按钮");
  auto* own = w->pm.FindControlAs<CButtonUI>("own");
  EXPECT_EQ(own->GetFixedHeight(), 30);
  EXPECT_EQ(own->GetToolTip(), "自己的");
  EXPECT_EQ(own->GetTextColor(), 0xFF112233u);  // what it does not set still comes from the class
  auto* opt = w->pm.FindControlAs<COptionUI>("opt");
  EXPECT_EQ(opt->GetFixedHeight(), 0);  // an option is not a "Button" element
  EXPECT_EQ(opt->GetGroup(), "g");
  EXPECT_EQ(w->pm.FindControlAs<CLabelUI>("lbl")->GetTextColor(), 0xFF000002u);  // redefined: the last
  DestroyWindow(*w);
}

TEST_F(Attributes, FontsByIndexWithTheDefaultForTheRest) {
  auto w = Open(R"(<Window size="300,120">
      <Font name="Arial" size="10"/>
      <Font name="Arial" size="40" bold="true"/>
      <Font name="Arial" size="16" default="true" underline="true" italic="true"/>
      <VerticalLayout bkcolor="#FFFFFFFF">
        <Label name="small" font="0" text="国国" height="40"/>
        <Label name="big" font="1" text="国国" height="40"/>
        <Label name="none" font="9" text="国国" height="40"/>
      </VerticalLayout>
    </Window>)", 300, 120);
  CPaintManagerUI& pm = w->pm;
  EXPECT_EQ(pm.GetFont(1).size, 40);
  EXPECT_TRUE(pm.GetFont(1).bold);
  EXPECT_EQ(pm.GetFont(9).size, 16);  // out of range: the default
  EXPECT_TRUE(pm.GetFont(-1).underline);
  EXPECT_TRUE(pm.GetFont(-1).italic);
  EXPECT_FALSE(pm.GetFont(0).bold);
  Shot shot = Take(*w);
  Ink small = InkOver(shot.surface, CRect(0, 0, 300, 40), 0xFFFFFFFFu);
  Ink big = InkOver(shot.surface, CRect(0, 40, 300, 80), 0xFFFFFFFFu);
  Ink none = InkOver(shot.surface, CRect(0, 80, 300, 120), 0xFFFFFFFFu);
  ASSERT_GT(small.count, 0);
  EXPECT_GT(big.box.GetHeight(), 2 * small.box.GetHeight());
  EXPECT_GT(big.box.GetWidth(), 2 * small.box.GetWidth());
  EXPECT_GT(none.box.GetWidth(), small.box.GetWidth());
  EXPECT_LT(none.box.GetWidth(), big.box.GetWidth());
  DestroyWindow(*w);
}

TEST_F(Attributes, IncludesNestRepeatAndSurviveMissingOrLoopingFiles) {
  WriteSkin("inner.xml", R"(<Window><Default name="Label" value="height=&quot;11&quot;"/><Label name="deep"/></Window>)");
  WriteSkin("middle.xml", R"(<Window><Include source="inner.xml"/><Button name="mid"/></Window>)");
  WriteSkin("row.xml", R"(<Control name="copy" height="5"/>)");
  WriteSkin("self.xml", R"(<Window><Include source="self.xml"/><Control name="loop"/></Window>)");
  WriteSkin("main.xml", R"(<Window size="100,200"><VerticalLayout name="root">
      <Include source="middle.xml"/>
      <Include source="row.xml" count="3"/>
      <Include source="missing.xml"/>
      <Include source="self.xml"/>
      <Label name="after"/>
    </VerticalLayout></Window>)");
  auto w = Open("main.xml", 100, 200);
  ASSERT_TRUE(w->built);
  CPaintManagerUI& pm = w->pm;
  ASSERT_NE(pm.FindControl("deep"), nullptr);
  EXPECT_NE(pm.FindControl("mid"), nullptr);
  EXPECT_EQ(pm.FindControl("after")->GetFixedHeight(), 11);  // a default from two files down
  int copies = 0, loops = 0;
  pm.GetRoot()->ForEach([&](CControlUI* c) {
    copies += c->GetName() == "copy";
    loops += c->GetName() == "loop";
  });
  EXPECT_EQ(copies, 3);
  EXPECT_EQ(loops, CDialogBuilder::kMaxIncludeDepth);  // the loop is cut, not followed for ever
  // Controls keep the order of the files.
  auto* root = pm.FindControlAs<CContainerUI>("root");
  EXPECT_EQ(root->GetItemAt(0)->GetName(), "deep");
  EXPECT_EQ(root->GetItemAt(root->GetCount() - 1)->GetName(), "after");
  DestroyWindow(*w);

  CDialogBuilder builder;
  CPaintManagerUI lone;
  CControlUI* tree = builder.Create("main.xml", nullptr, nullptr, &lone);
  ASSERT_NE(tree, nullptr);
  EXPECT_FALSE(builder.GetLastError().empty());  // built, but what went wrong is told
  delete tree;
}

TEST_F(Attributes, WindowElementSetsSizeLimitsCaptionCornersAndAlpha) {
  auto w = Open(R"(<Window size="300,200" mininfo="200,100" maxinfo="800,600" caption="0,0,0,30"
      roundcorner="5,6" sizebox="4,4,4,4" alpha="200"><Control/></Window>)", 10, 10);
  RECT r;
  GetWindowRect(*w, &r);
  EXPECT_EQ(r.right - r.left, 300);  // the skin's size wins over the one asked for
  EXPECT_EQ(r.bottom - r.top, 200);
  EXPECT_EQ(w->pm.GetInitSize().cx, 300);
  EXPECT_EQ(w->pm.GetMinInfo().cx, 200);
  EXPECT_EQ(w->pm.GetMinInfo().cy, 100);
  EXPECT_EQ(w->pm.GetMaxInfo().cx, 800);
  EXPECT_EQ(w->pm.GetCaptionRect(), CRect(0, 0, 0, 30));
  EXPECT_EQ(w->pm.GetRoundCorner().cy, 6);
  EXPECT_EQ(w->pm.GetSizeBox(), CRect(4, 4, 4, 4));
  EXPECT_EQ(w->Alpha(), 200);
  EXPECT_FALSE(w->pm.IsBackgroundTransparent());
  DestroyWindow(*w);

  auto bad = Open(R"(<Window size="300" caption="1,2,3" roundcorner="x"><Control/></Window>)", 50, 40);
  GetWindowRect(*bad, &r);
  EXPECT_EQ(r.right - r.left, 50);
  EXPECT_EQ(bad->pm.GetCaptionRect(), CRect());
  EXPECT_EQ(bad->pm.GetRoundCorner().cx, 0);
  DestroyWindow(*bad);
}

TEST_F(Attributes, ColoursWithAndWithoutAlphaAndTransparentBackgrounds) {
  auto w = Open(R"(<Window size="40,40"><VerticalLayout>
      <Control height="10" bkcolor="#80FF0000"/>
      <Control height="10" bkcolor="#00FF00"/>
      <Control height="10" bkcolor="#00000000"/>
      <Control height="10" bkcolor="nonsense"/>
    </VerticalLayout></Window>)", 40, 40);
  {
    Shot shot = Take(*w);
    uint32_t pink = shot.At(20, 5);  // half red over the white a window starts from
    EXPECT_EQ(pink >> 24, 0xFFu);
    EXPECT_EQ((pink >> 16) & 0xFF, 0xFFu);
    EXPECT_NEAR(static_cast<int>(pink & 0xFF), 127, 2);
    EXPECT_EQ(shot.At(20, 15), 0xFF00FF00u);
    EXPECT_EQ(shot.At(20, 25), 0xFFFFFFFFu);
    EXPECT_EQ(shot.At(20, 35), 0xFFFFFFFFu);
  }
  DestroyWindow(*w);

  // The pop-up menus start from nothing instead of white.
  auto menu = Open(R"(<Window size="40,40" bktrans="true"><VerticalLayout>
      <Control height="20" bkcolor="#FF0000FF"/><Control/>
    </VerticalLayout></Window>)", 40, 40);
  EXPECT_TRUE(menu->pm.IsBackgroundTransparent());
  Shot shot = Take(*menu);
  EXPECT_EQ(shot.At(20, 10), 0xFF0000FFu);
  EXPECT_EQ(shot.At(20, 30), 0u);
  DestroyWindow(*menu);
}

TEST_F(Attributes, WithoutAParentOneRootIsKeptAndNoControlIsLost) {
  const char* two = R"(<Window><Label name="one"/><Label name="two"/></Window>)";
  CDialogBuilder builder;
  CControlUI* root = builder.Create(two);
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(root->GetName(), "one");
  EXPECT_FALSE(builder.GetLastError().empty());  // the second has nothing to hold it, and is freed
  delete root;

  CVerticalLayoutUI holder;
  EXPECT_EQ(builder.Create(two, nullptr, nullptr, nullptr, &holder)->GetName(), "one");
  EXPECT_EQ(holder.GetCount(), 2);
  EXPECT_TRUE(builder.GetLastError().empty());
  CLabelUI label;  // not a container: it could hold nothing
  EXPECT_EQ(builder.Create(two, nullptr, nullptr, nullptr, &label), nullptr);
  EXPECT_FALSE(builder.GetLastError().empty());
}

TEST_F(Attributes, WhatOneSkinBuildsIsBounded) {
  WriteSkin("row.xml", R"(<Control name="copy"/>)");
  WriteSkin("many.xml",
            R"(<Window><VerticalLayout><Include source="row.xml" count="100000"/></VerticalLayout></Window>)");
  auto count = [](CControlUI* tree, const char* name) {
    int n = 0;
    tree->ForEach([&](CControlUI* c) { n += c->GetName() == name || *name == '\0'; });
    return n;
  };
  CDialogBuilder builder;
  std::unique_ptr<CControlUI> tree(builder.Create("many.xml"));
  ASSERT_TRUE(tree);
  EXPECT_EQ(count(tree.get(), "copy"), CDialogBuilder::kMaxIncludeCount);
  EXPECT_NE(builder.GetLastError().find("repeats"), std::string::npos);

  // Repeats inside repeats multiply; the build stops at its budget of controls.
  WriteSkin("pair.xml", R"(<Window><Control/><Control/></Window>)");
  WriteSkin("hundred.xml", R"(<Window><Include source="pair.xml" count="100"/></Window>)");
  WriteSkin("deep.xml",
            R"(<Window><VerticalLayout><Include source="hundred.xml" count="100"/></VerticalLayout></Window>)");
  tree.reset(builder.Create("deep.xml"));
  ASSERT_TRUE(tree);
  EXPECT_EQ(count(tree.get(), ""), CDialogBuilder::kMaxControls);
  EXPECT_NE(builder.GetLastError().find("controls"), std::string::npos);
}
