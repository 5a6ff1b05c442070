// How containers share their room: fixed and stretched children, limits, paddings, floats, and
// the tab layout's shown page as pages come and go.

#include "toolkit/testing/headless_fixture.h"
#include "toolkit/testing/skin_test_window.h"

using namespace toolkit_testing;
namespace headless = toolkit::headless;

namespace {

class Layout : public HeadlessTest {
 protected:
  std::unique_ptr<SkinWindow> Open(const char* skin, int w, int h) {
    auto window = std::make_unique<SkinWindow>(skin);
    EXPECT_TRUE(window->Create(nullptr, "layout", WS_POPUP | WS_VISIBLE, 0, 0, 0, w, h));
    return window;
  }
  CRect Pos(SkinWindow& w, const char* name) {
    CControlUI* c = w.pm.FindControl(name);
    EXPECT_NE(c, nullptr) << name;
    return c ? c->GetPos() : CRect();
  }
};

const char* kColumn = R"(<Window size="200,300">
  <VerticalLayout name="root" inset="10,20,10,20" childpadding="5">
    <Control name="top" height="40"/>
    <Control name="grow1" maxheight="60"/>
    <Control name="hidden" height="30" visible="false"/>
    <Control name="grow2" padding="4,6,8,2"/>
    <Control name="narrow" height="20" width="50"/>
  </VerticalLayout>
</Window>)";

}  // namespace

TEST_F(Layout, VerticalSharesTheRestWithinLimitsPaddingAndInset) {
  auto w = Open(kColumn, 200, 300);
  // Inner area 10,20 - 190,280. Four visible children: three gaps of 5, 40 + 20 fixed, 6 + 2 of
  // padding; the 177 left would give each stretched child 88, but grow1 stops at 60.
  EXPECT_EQ(Pos(*w, "top"), CRect(10, 20, 190, 60));
  EXPECT_EQ(Pos(*w, "grow1"), CRect(10, 65, 190, 125));
  EXPECT_EQ(Pos(*w, "grow2"), CRect(14, 136, 182, 253));
  EXPECT_EQ(Pos(*w, "narrow"), CRect(10, 260, 60, 280));

  // Shown again, the hidden child takes its height and one more gap from the stretched one.
  w->pm.FindControl("hidden")->SetVisible(true);
  EXPECT_EQ(Pos(*w, "hidden"), CRect(10, 130, 190, 160));
  EXPECT_EQ(Pos(*w, "grow1").GetHeight(), 60);
  EXPECT_EQ(Pos(*w, "grow2"), CRect(14, 171, 182, 253));
  EXPECT_EQ(Pos(*w, "narrow").bottom, 280);

  w->pm.FindControl("narrow")->SetFixedWidth(100);
  EXPECT_EQ(Pos(*w, "narrow"), CRect(10, 260, 110, 280));
  // A fixed width wider than the column is cut to it.
  w->pm.FindControl("narrow")->SetFixedWidth(500);
  EXPECT_EQ(Pos(*w, "narrow").GetWidth(), 180);
  DestroyWindow(*w);
}

TEST_F(Layout, MinimumsWinOverTheEvenShare) {
  auto w = Open(R"(<Window size="300,40"><HorizontalLayout>
      <Control name="a" minwidth="200"/>
      <Control name="b"/>
    </HorizontalLayout></Window>)", 300, 40);
  EXPECT_EQ(Pos(*w, "a"), CRect(0, 0, 200, 40));
  EXPECT_EQ(Pos(*w, "b"), CRect(200, 0, 300, 40));
  DestroyWindow(*w);
}

TEST_F(Layout, AChildHeldByItsLimitGivesTheRestToTheOthersWhereverItStands) {
  auto w = Open(R"(<Window size="300,60"><VerticalLayout>
      <HorizontalLayout height="20"><Control name="a1"/><Control name="a2"/><Control name="a3" maxwidth="50"/></HorizontalLayout>
      <HorizontalLayout height="20"><Control name="b1"/><Control name="b2"/><Control name="b3" minwidth="200"/></HorizontalLayout>
      <HorizontalLayout height="20"><Control name="c1" maxwidth="10"/><Control name="c2" minwidth="250"/><Control name="c3"/></HorizontalLayout>
    </VerticalLayout></Window>)", 300, 60);
  EXPECT_EQ(Pos(*w, "a1").GetWidth(), 125);
  EXPECT_EQ(Pos(*w, "a2").GetWidth(), 125);
  EXPECT_EQ(Pos(*w, "a3"), CRect(250, 0, 300, 20));  // the row is filled to its end
  EXPECT_EQ(Pos(*w, "b1").GetWidth(), 50);
  EXPECT_EQ(Pos(*w, "b3"), CRect(100, 20, 300, 40));  // and not overdrawn
  EXPECT_EQ(Pos(*w, "c1").GetWidth(), 10);
  EXPECT_EQ(Pos(*w, "c2").GetWidth(), 250);
  EXPECT_EQ(Pos(*w, "c3"), CRect(260, 40, 300, 60));
  DestroyWindow(*w);
}

TEST_F(Layout, LimitsSetWhileTheWindowStandsTakeEffect) {
  auto w = Open(R"(<Window size="300,20"><HorizontalLayout><Control name="a"/><Control name="b"/></HorizontalLayout></Window>)",
                300, 20);
  EXPECT_EQ(Pos(*w, "a").GetWidth(), 150);
  w->pm.FindControl("a")->ApplyAttributeList("maxwidth=\"100\"");
  EXPECT_EQ(Pos(*w, "a").GetWidth(), 100);
  EXPECT_EQ(Pos(*w, "b").GetWidth(), 200);
  w->pm.FindControl("b")->ApplyAttributeList("minwidth=\"250\"");
  EXPECT_EQ(Pos(*w, "a").GetWidth(), 50);
  DestroyWindow(*w);
}

TEST_F(Layout, FixedChildrenWiderThanTheRowOverflowAndLeaveNothingToStretch) {
  auto w = Open(R"(<Window size="100,50"><VerticalLayout>
      <HorizontalLayout name="row" height="30">
        <Control name="f1" width="80"/>
        <Control name="s"/>
        <Control name="f2" width="80" height="200"/>
      </HorizontalLayout>
      <Control name="under"/>
    </VerticalLayout></Window>)", 100, 50);
  EXPECT_EQ(Pos(*w, "f1"), CRect(0, 0, 80, 30));
  EXPECT_EQ(Pos(*w, "s").GetWidth(), 0);
  EXPECT_EQ(Pos(*w, "f2"), CRect(80, 0, 160, 30));  // the height is cut to the row
  EXPECT_EQ(Pos(*w, "under"), CRect(0, 30, 100, 50));
  EXPECT_EQ(w->pm.FindControl(POINT{90, 15}), w->pm.FindControl("f2"));
  DestroyWindow(*w);
}

TEST_F(Layout, HiddenChildrenTakeNeitherRoomNorGaps) {
  auto w = Open(R"(<Window size="100,40"><HorizontalLayout name="row" childpadding="10">
      <Control name="a" width="20"/>
      <Control name="gone1" width="20" visible="false"/>
      <Control name="gone2" visible="false"/>
      <Control name="b"/>
    </HorizontalLayout></Window>)", 100, 40);
  EXPECT_EQ(Pos(*w, "b"), CRect(30, 0, 100, 40));
  auto* row = w->pm.FindControlAs<CContainerUI>("row");
  row->GetItemAt(0)->SetVisible(false);
  EXPECT_EQ(Pos(*w, "b"), CRect(0, 0, 100, 40));
  DestroyWindow(*w);
}

TEST_F(Layout, FloatsStandAtTheirPosInsideTheirOwnContainerAndMoveWithIt) {
  auto w = Open(R"(<Window size="200,200"><VerticalLayout>
      <Control name="spacer" height="30"/>
      <HorizontalLayout name="row" height="50" inset="5,5,5,5">
        <Control name="left" width="20"/>
        <Control name="rowfloat" float="true" pos="100,0,110,10"/>
        <Container name="box">
          <Button name="fl" float="true" pos="3,4,13,10"/>
        </Container>
      </HorizontalLayout>
    </VerticalLayout></Window>)", 200, 200);
  // The float in the row takes no room from the stretched box.
  EXPECT_EQ(Pos(*w, "box"), CRect(25, 35, 195, 75));
  EXPECT_EQ(Pos(*w, "rowfloat"), CRect(100, 30, 110, 40));  // relative to the row, not its inset
  EXPECT_EQ(Pos(*w, "fl"), CRect(28, 39, 38, 45));

  w->pm.FindControl("spacer")->SetVisible(false);
  EXPECT_EQ(Pos(*w, "fl"), CRect(28, 9, 38, 15));
  EXPECT_EQ(Pos(*w, "rowfloat"), CRect(100, 0, 110, 10));

  // Moved by the program, a float keeps its place relative to its container from then on.
  w->pm.FindControl("fl")->SetPos(CRect(50, 20, 70, 30));
  w->pm.FindControl("spacer")->SetVisible(true);
  EXPECT_EQ(Pos(*w, "fl"), CRect(50, 50, 70, 60));
  EXPECT_EQ(w->pm.FindControl(POINT{55, 55}), w->pm.FindControl("fl"));  // floats lie on top
  DestroyWindow(*w);
}

TEST_F(Layout, AddAndRemoveAllLayOutAgain) {
  auto w = Open(R"(<Window size="100,40"><HorizontalLayout name="row">
      <Control name="stretch"/>
    </HorizontalLayout></Window>)", 100, 40);
  auto* row = w->pm.FindControlAs<CContainerUI>("row");
  EXPECT_EQ(Pos(*w, "stretch").GetWidth(), 100);
  auto* fixed = new CControlUI();
  fixed->ApplyAttributeList(R"(name="fixed" width="30")");
  EXPECT_TRUE(row->AddAt(fixed, 0));
  EXPECT_EQ(Pos(*w, "fixed"), CRect(0, 0, 30, 40));
  EXPECT_EQ(Pos(*w, "stretch"), CRect(30, 0, 100, 40));
  auto stray = std::make_unique<CControlUI>();
  EXPECT_FALSE(row->AddAt(stray.get(), 5));  // out of range: refused, still the caller's
  EXPECT_EQ(row->GetCount(), 2);
  EXPECT_FALSE(row->Add(nullptr));
  EXPECT_TRUE(row->Remove(fixed));
  EXPECT_EQ(Pos(*w, "stretch").GetWidth(), 100);
  EXPECT_FALSE(row->Remove(row));  // not a child of itself
  row->RemoveAll();
  EXPECT_EQ(row->GetCount(), 0);
  EXPECT_EQ(w->pm.FindControl("stretch"), nullptr);
  EXPECT_EQ(w->pm.FindControl(POINT{50, 20}), row);
  DestroyWindow(*w);
}

TEST_F(Layout, TabLayoutKeepsItsPageWhilePagesComeAndGo) {
  auto w = Open(R"(<Window size="100,100"><TabLayout name="tab" selectedid="1">
      <Button name="p0"/><Button name="p1"/><Button name="p2"/>
    </TabLayout></Window>)", 100, 100);
  auto* tab = w->pm.FindControlAs<CTabLayoutUI>("tab");
  auto shown = [&] {
    std::string names;
    for (int i = 0; i < tab->GetCount(); ++i) {
      if (tab->GetItemAt(i)->IsVisible()) names += tab->GetItemAt(i)->GetName().str();
    }
    return names;
  };
  ASSERT_EQ(tab->GetCurSel(), 1);
  auto* first = new CButtonUI();
  first->SetName("new");
  tab->AddAt(first, 0);
  EXPECT_EQ(tab->GetCurSel(), 2);
  EXPECT_EQ(shown(), "p1");
  tab->Add(new CButtonUI());
  EXPECT_EQ(shown(), "p1");
  tab->Remove(tab->GetItemAt(0));
  EXPECT_EQ(tab->GetCurSel(), 1);
  EXPECT_EQ(shown(), "p1");
  // The shown page removed: the next one shows.
  tab->Remove(w->pm.FindControl("p1"));
  EXPECT_EQ(shown(), "p2");
  EXPECT_FALSE(tab->SelectItem(tab->GetCount()));
  EXPECT_EQ(shown(), "p2");

  // A hidden page takes no input where it would lie.
  w->seen.clear();
  EXPECT_FALSE(headless::Click(*w, "p0"));
  headless::ClickAt(*w, 50, 50);
  EXPECT_EQ(w->Count("click", "p0"), 0);
  EXPECT_EQ(w->Count("click", "p2"), 1);
  EXPECT_TRUE(tab->SelectItem(0));
  EXPECT_EQ(w->Count("tabselect", "tab"), 1);

  tab->RemoveAll();
  EXPECT_EQ(tab->GetCurSel(), -1);
  EXPECT_FALSE(tab->SelectItem(0));
  // Filled again at run time, the first new page shows (the skin's page number was for its own
  // pages), and adding more keeps it shown.
  auto* again = new CButtonUI();
  again->SetName("again");
  tab->Add(again);
  EXPECT_EQ(tab->GetCurSel(), 0);
  tab->Add(new CButtonUI());
  EXPECT_EQ(tab->GetCurSel(), 0);
  EXPECT_EQ(shown(), "again");
  DestroyWindow(*w);
}
