// What a user does with the mouse wheel, the scroll bars, Tab and the window's edges.
#include <cairo.h>

#include <string>

#include "toolkit/controls/scroll_bar.h"
#include "toolkit/testing/headless_fixture.h"
#include "toolkit/testing/skin_folder.h"
#include "toolkit/testing/skin_test_window.h"
#include "toolkit/testing/test_images.h"

using namespace toolkit_testing;
namespace headless = toolkit::headless;

namespace {

// A list of ten 30-pixel rows in a 100-pixel view: 200 pixels of it are hidden.
const char* kListSkin = R"(<Window size="200,160">
  <VerticalLayout name="root">
    <VerticalLayout name="list" height="100" vscrollbar="true" inset="0,0,0,0">
      <Button name="row0" height="30"/><Button name="row1" height="30"/><Button name="row2" height="30"/>
      <Button name="row3" height="30"/><Button name="row4" height="30"/><Button name="row5" height="30"/>
      <Button name="row6" height="30"/><Button name="row7" height="30"/><Button name="row8" height="30"/>
      <Button name="row9" height="30" bkcolor="#FFFF0000"/>
    </VerticalLayout>
    <RichEdit name="notes" height="60" readonly="true" vscrollbar="true"/>
  </VerticalLayout>
</Window>)";

class Interaction : public HeadlessTest {
 protected:
  std::unique_ptr<SkinWindow> Open(const char* skin, int cx = 200, int cy = 160) {
    auto w = std::make_unique<SkinWindow>(skin);
    EXPECT_TRUE(w->Create(nullptr, "interaction", WS_POPUP | WS_VISIBLE, 0, 100, 100, cx, cy));
    w->pm.DoLayout();
    return w;
  }
  static CControlUI* At(SkinWindow& w, int x, int y) { return w.pm.FindControl(POINT{x, y}); }
};

}  // namespace

TEST(ScrollBar, PositionStaysInRangeAndTheThumbTracksIt) {
  toolkit::VerticalScrollBar bar;
  bar.SetTrack(CRect(92, 0, 100, 100));
  bar.SetExtent(100, 100);
  EXPECT_FALSE(bar.Needed());
  EXPECT_FALSE(bar.SetPosition(50));  // nothing to scroll
  EXPECT_FALSE(bar.Press(POINT{95, 50}));

  bar.SetExtent(400, 100);
  EXPECT_EQ(bar.Range(), 300);
  EXPECT_EQ(bar.Thumb(), CRect(92, 0, 100, 25));  // a quarter of the content is in view
  EXPECT_TRUE(bar.Wheel(-120));
  EXPECT_EQ(bar.Position(), toolkit::VerticalScrollBar::kWheelStep);
  EXPECT_TRUE(bar.Wheel(-1));  // a fraction of a notch still moves
  EXPECT_TRUE(bar.SetPosition(1000));
  EXPECT_EQ(bar.Position(), 300);
  EXPECT_EQ(bar.Thumb(), CRect(92, 75, 100, 100));
  EXPECT_FALSE(bar.Wheel(-120));  // already at the end

  // Below or above the thumb pages by a view; on the thumb it drags.
  EXPECT_TRUE(bar.Press(POINT{95, 10}));
  EXPECT_EQ(bar.Position(), 200);
  bar.SetPosition(0);
  EXPECT_FALSE(bar.Press(POINT{95, 5}));
  EXPECT_TRUE(bar.Dragging());
  EXPECT_TRUE(bar.Drag(POINT{95, 5 + 25}));  // a third of the travel
  EXPECT_EQ(bar.Position(), 100);
  EXPECT_TRUE(bar.Drag(POINT{95, 500}));
  EXPECT_EQ(bar.Position(), 300);
  bar.Release();
  EXPECT_FALSE(bar.Drag(POINT{95, 0}));

  // Content that shrinks pulls the position back.
  bar.SetExtent(150, 100);
  EXPECT_EQ(bar.Position(), 50);
  // A tiny track still has a thumb that fits in it.
  bar.SetTrack(CRect(0, 0, 8, 6));
  bar.SetExtent(10000, 100);
  EXPECT_LE(bar.Thumb().GetHeight(), 6);
}

TEST_F(Interaction, TheWheelScrollsTheListUnderThePointerAndHidesWhatLeftTheView) {
  auto w = Open(kListSkin);
  auto* list = w->pm.FindControlAs<CVerticalLayoutUI>("list");
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->GetScrollRange(), 200);
  CControlUI* row0 = w->pm.FindControl("row0");
  EXPECT_EQ(row0->GetPos(), CRect(0, 0, 200 - toolkit::VerticalScrollBar::kWidth, 30));  // room for the bar

  // A wheel over a row scrolls the list the row is in; the row moves up with it.
  ASSERT_TRUE(headless::Wheel(*w, "row1", -1));
  w->pm.DoLayout();
  EXPECT_EQ(list->GetScrollPos(), 40);
  EXPECT_EQ(row0->GetY(), -40);
  EXPECT_EQ(At(*w, 10, 5), w->pm.FindControl("row1"));
  // A row scrolled above the view cannot be clicked through the window's other parts.
  EXPECT_NE(At(*w, 10, 110), row0);

  ASSERT_TRUE(headless::Wheel(*w, "row2", -10));
  w->pm.DoLayout();
  EXPECT_EQ(list->GetScrollPos(), 200);
  EXPECT_EQ(w->pm.FindControl("row9")->GetPos().bottom, 100);
  cairo_surface_t* s = headless::Render(*w);
  EXPECT_EQ(PixelAt(s, 50, 95), 0xFFFF0000u);  // the last row, now in view
  EXPECT_NE(PixelAt(s, 50, 105), 0xFFFF0000u); // clipped at the list's bottom
  cairo_surface_destroy(s);

  ASSERT_TRUE(headless::Wheel(*w, "row9", 3));
  w->pm.DoLayout();
  EXPECT_EQ(list->GetScrollPos(), 80);
  list->SetScrollPos(-5);
  EXPECT_EQ(list->GetScrollPos(), 0);
  // Clicks still reach the rows where they are now.
  int clicks = w->Count("click", "row2");
  ASSERT_TRUE(headless::Click(*w, "row2"));
  EXPECT_EQ(w->Count("click", "row2"), clicks + 1);
  DestroyWindow(*w);
}

TEST_F(Interaction, TheBarPagesOnItsTrackAndFollowsItsThumb) {
  auto w = Open(kListSkin);
  auto* list = w->pm.FindControlAs<CVerticalLayoutUI>("list");
  int x = 200 - toolkit::VerticalScrollBar::kWidth / 2;
  EXPECT_EQ(At(*w, x, 80), list);  // the bar belongs to the list, not to a row under it
  headless::ClickAt(*w, x, 80);
  w->pm.DoLayout();
  EXPECT_EQ(list->GetScrollPos(), 100);  // one view further

  // Drag the thumb (a third of the track long) from its top to the track's end.
  list->SetScrollPos(0);
  w->pm.DoLayout();
  w->OnNativeMouse(WM_MOUSEMOVE, x, 2);
  w->OnNativeMouse(WM_LBUTTONDOWN, x, 2);
  w->OnNativeMouse(WM_MOUSEMOVE, x, 2 + 33);
  w->pm.DoLayout();
  EXPECT_NEAR(list->GetScrollPos(), 100, 3);
  w->OnNativeMouse(WM_MOUSEMOVE, x, 400);
  w->OnNativeMouse(WM_LBUTTONUP, x, 400);
  w->pm.DoLayout();
  EXPECT_EQ(list->GetScrollPos(), 200);
  EXPECT_EQ(w->Count("click"), 0);  // dragging the bar clicks nothing
  DestroyWindow(*w);
}

TEST_F(Interaction, RichEditScrollsItsTextAndPassesTheWheelOnWhenItFits) {
  auto w = Open(kListSkin);
  auto* notes = w->pm.FindControlAs<CRichEditUI>("notes");
  auto* list = w->pm.FindControlAs<CVerticalLayoutUI>("list");
  std::string text;
  for (int i = 0; i < 30; ++i) text += "line " + std::to_string(i) + "\r\n";
  notes->SetText(CStdString(text));
  cairo_surface_destroy(headless::Render(*w));  // the text is measured when painted
  EXPECT_GT(notes->GetContentHeight(), 300);
  ASSERT_TRUE(headless::Wheel(*w, "notes", -2));
  EXPECT_EQ(notes->GetScrollPos(), 2 * toolkit::VerticalScrollBar::kWheelStep);
  notes->SetScrollPos(100000);
  cairo_surface_destroy(headless::Render(*w));
  EXPECT_EQ(notes->GetScrollPos(), notes->GetContentHeight() - 60);
  notes->SetText("short");  // new text starts at the top
  EXPECT_EQ(notes->GetScrollPos(), 0);

  // A rich edit with nothing to scroll leaves the wheel to the area it is in: none here, and
  // nothing breaks; inside the list the list would take it.
  cairo_surface_destroy(headless::Render(*w));
  ASSERT_TRUE(headless::Wheel(*w, "notes", -1));
  EXPECT_EQ(notes->GetScrollPos(), 0);
  EXPECT_EQ(list->GetScrollPos(), 0);
  DestroyWindow(*w);
}

TEST_F(Interaction, ContainersWithoutABarAndHiddenBarsDoNotScroll) {
  auto w = Open(R"(<Window size="100,100"><VerticalLayout name="root" vscrollbar="true">
      <Button name="a" height="40"/><Button name="b" height="40"/>
      <Container name="tall" height="10" vscrollbar="true"><Button name="c" height="50"/></Container>
    </VerticalLayout></Window>)", 100, 100);
  auto* root = w->pm.FindControlAs<CVerticalLayoutUI>("root");
  EXPECT_EQ(root->GetScrollRange(), 0);  // everything fits: no bar, full width
  EXPECT_EQ(w->pm.FindControl("a")->GetWidth(), 100);
  ASSERT_TRUE(headless::Wheel(*w, "a", -1));
  EXPECT_EQ(root->GetScrollPos(), 0);
  // A child taller than its container scrolls inside it; the wheel stops at the inner area.
  auto* tall = w->pm.FindControlAs<CContainerUI>("tall");
  EXPECT_EQ(tall->GetScrollRange(), 40);
  ASSERT_TRUE(headless::WheelAt(*w, 10, 85, -120));
  w->pm.DoLayout();
  EXPECT_EQ(tall->GetScrollPos(), 40);
  EXPECT_EQ(root->GetScrollPos(), 0);
  // Turning the bar off puts the content back.
  tall->EnableScrollBar(false);
  w->pm.DoLayout();
  EXPECT_EQ(tall->GetScrollPos(), 0);
  EXPECT_EQ(w->pm.FindControl("c")->GetY(), 80);
  DestroyWindow(*w);
}

TEST_F(Interaction, TabWalksTheEnabledShownStopsBothWaysAfterTheFilters) {
  auto w = Open(R"(<Window size="300,100"><HorizontalLayout>
      <Edit name="user" width="50"/>
      <Label name="label" width="20"/>
      <Edit name="pass" width="50" password="true"/>
      <Button name="off" width="20" enabled="false"/>
      <Container width="20" visible="false"><Button name="hidden"/></Container>
      <Container width="20" enabled="false"><Button name="inside"/></Container>
      <Button name="skip" width="20" keyboard="false"/>
      <Option name="remember" width="40"/>
      <Button name="ok" width="40"/>
    </HorizontalLayout></Window>)", 300, 100);
  auto focusName = [&] { return w->pm.GetFocus() ? w->pm.GetFocus()->GetName().str() : std::string("-"); };
  std::string order;
  for (int i = 0; i < 5; ++i) {
    headless::PressKey(*w, VK_TAB);
    order += focusName() + " ";
  }
  EXPECT_EQ(order, "user pass remember ok user ");
  headless::PressKey(*w, VK_TAB, true);
  EXPECT_EQ(focusName(), "ok");
  headless::PressKey(*w, VK_TAB, true);
  EXPECT_EQ(focusName(), "remember");
  EXPECT_GE(GetKeyState(static_cast<int>(VK_SHIFT)), 0);  // shift is let go after the key

  // Space on a focused button clicks it, as the mouse would.
  headless::PressKey(*w, VK_TAB);
  headless::PressKey(*w, VK_SPACE);
  EXPECT_EQ(w->Count("click", "ok"), 1);

  // A filter that swallows Tab keeps the focus where it is.
  class TabEater : public IMessageFilterUI {
   public:
    LRESULT MessageHandler(UINT msg, WPARAM wParam, LPARAM, bool& handled) override {
      handled = msg == WM_KEYDOWN && wParam == VK_TAB;
      return 0;
    }
  } eater;
  w->pm.AddPreMessageFilter(&eater);
  headless::PressKey(*w, VK_TAB);
  EXPECT_EQ(focusName(), "ok");
  w->pm.RemovePreMessageFilter(&eater);

  // A window without stops lets Tab through to the focused control.
  auto plain = Open(R"(<Window size="50,50"><Label name="only"/></Window>)", 50, 50);
  EXPECT_FALSE(plain->pm.MoveFocus(true));
  headless::PressKey(*plain, VK_TAB);
  EXPECT_EQ(plain->pm.GetFocus(), nullptr);
  DestroyWindow(*plain);
  DestroyWindow(*w);
}

TEST_F(Interaction, TheSizeBoxEdgesResizeAndTheRestStaysCaptionOrClient) {
  auto w = Open(R"(<Window size="200,100" caption="0,0,0,30" sizebox="4,4,6,6" mininfo="120,80" maxinfo="400,0">
      <VerticalLayout><HorizontalLayout height="30"><Control/><Button name="close" width="20"/></HorizontalLayout>
      <Control/></VerticalLayout></Window>)", 200, 100);
  auto hit = [&](int x, int y) { return toolkit::CaptionHitTest(w->pm, POINT{x, y}, {"ButtonUI"}); };
  EXPECT_EQ(hit(0, 0), HTTOPLEFT);
  EXPECT_EQ(hit(100, 3), HTTOP);
  EXPECT_EQ(hit(199, 0), HTTOPRIGHT);
  EXPECT_EQ(hit(0, 50), HTLEFT);
  EXPECT_EQ(hit(194, 50), HTRIGHT);  // the right edge is 6 wide
  EXPECT_EQ(hit(193, 50), HTCLIENT);
  EXPECT_EQ(hit(2, 96), HTBOTTOMLEFT);
  EXPECT_EQ(hit(100, 94), HTBOTTOM);
  EXPECT_EQ(hit(199, 99), HTBOTTOMRIGHT);
  EXPECT_EQ(hit(50, 10), HTCAPTION);
  EXPECT_EQ(hit(185, 10), HTCLIENT);  // the close button

  auto* native = dynamic_cast<toolkit::HeadlessWindow*>(w->Native());
  ASSERT_NE(native, nullptr);
  EXPECT_TRUE(native->Resizable());
  EXPECT_EQ(native->MinSize().cx, 120);
  EXPECT_EQ(native->MinSize().cy, 80);
  EXPECT_EQ(native->MaxSize().cx, 400);
  EXPECT_EQ(native->MaxSize().cy, 0);
  // The pointer shows the way an edge resizes, and turns back inside.
  w->OnNativeMouse(WM_MOUSEMOVE, 197, 50);
  EXPECT_EQ(native->EdgeCursor(), static_cast<int>(HTRIGHT));
  w->OnNativeMouse(WM_MOUSEMOVE, 100, 50);
  EXPECT_EQ(native->EdgeCursor(), static_cast<int>(HTCLIENT));
  // A press on an edge hands the drag to the window system, and the control under it sees nothing.
  headless::ClickAt(*w, 199, 99);
  EXPECT_EQ(native->ResizeEdge(), static_cast<int>(HTBOTTOMRIGHT));
  headless::ClickAt(*w, 185, 2);
  EXPECT_EQ(native->ResizeEdge(), static_cast<int>(HTTOP));
  EXPECT_EQ(w->Count("click", "close"), 0);

  // What the user's drag leaves is a new size, laid out like any other.
  w->OnNativeMoved(CRect(100, 100, 400, 260));
  w->pm.DoLayout();
  EXPECT_EQ(w->pm.FindControl("close")->GetPos().right, 300);
  EXPECT_EQ(hit(299, 159), HTBOTTOMRIGHT);

  // Without a size box a window keeps its size, and its edges are ordinary client area.
  auto fixed = Open(R"(<Window size="80,80"><Control/></Window>)", 80, 80);
  auto* fixedNative = dynamic_cast<toolkit::HeadlessWindow*>(fixed->Native());
  EXPECT_FALSE(fixedNative->Resizable());
  EXPECT_EQ(toolkit::CaptionHitTest(fixed->pm, POINT{0, 0}, {}), HTCLIENT);
  DestroyWindow(*fixed);
  DestroyWindow(*w);
}

namespace {

constexpr uint32_t kTrack = 0xFF0000FFu, kThumb = 0xFFFF0000u, kThumbHot = 0xFF00FF00u, kUp = 0xFFFFFF00u,
                   kDown = 0xFFFF00FFu;

// Every bar of a window styled by one included file: 12 wide, with arrows.
class ScrollBarLook : public SkinFolderTest {
 protected:
  void SetUp() override {
    SkinFolderTest::SetUp();
    Solid("track.png", kTrack);
    Solid("thumb.png", kThumb);
    Solid("thumbhot.png", kThumbHot);
    Solid("up.png", kUp);
    Solid("down.png", kDown);
    WriteSkin("scrollbar.xml", R"(<Window><Default name="VScrollBar" value="width=&quot;12&quot; )"
                               R"(bknormalimage=&quot;track.png&quot; thumbnormalimage=&quot;thumb.png&quot; )"
                               R"(thumbhotimage=&quot;thumbhot.png&quot; button1normalimage=&quot;up.png&quot; )"
                               R"(button2normalimage=&quot;down.png&quot;"/></Window>)");
    std::string skin(kListSkin);
    skin.insert(skin.find('>') + 1, R"(<Include source="scrollbar.xml"/>)");
    WriteSkin("list.xml", skin);
  }
};

}  // namespace

TEST_F(ScrollBarLook, AnIncludedDefaultStylesEveryBarOfTheWindow) {
  auto w = Open("list.xml", 200, 160);
  w->pm.DoLayout();
  auto* list = w->pm.FindControlAs<CVerticalLayoutUI>("list");
  EXPECT_EQ(w->pm.FindControl("row0")->GetPos().right, 200 - 12);  // the rows make room for the wider bar
  // Arrows 12 high at both ends; the thumb a third of the 76 pixels between them.
  {
    Shot shot = Take(*w);
    EXPECT_EQ(shot.At(194, 6), kUp);
    EXPECT_EQ(shot.At(194, 94), kDown);
    EXPECT_EQ(shot.At(194, 20), kThumb);
    EXPECT_EQ(shot.At(194, 60), kTrack);
  }
  // The thumb lights under the pointer and goes back when it leaves.
  ASSERT_TRUE(headless::MoveMouse(*w, 194, 20));
  EXPECT_EQ(Take(*w).At(194, 20), kThumbHot);
  ASSERT_TRUE(headless::MoveMouse(*w, 50, 20));
  EXPECT_EQ(Take(*w).At(194, 20), kThumb);
  // Each press on an arrow moves one step.
  headless::ClickAt(*w, 194, 94);
  headless::ClickAt(*w, 194, 94);
  EXPECT_EQ(list->GetScrollPos(), 2 * toolkit::VerticalScrollBar::kWheelStep);
  headless::ClickAt(*w, 194, 6);
  EXPECT_EQ(list->GetScrollPos(), toolkit::VerticalScrollBar::kWheelStep);

  // The rich edit's bar takes the same look.
  std::string text;
  for (int i = 0; i < 30; ++i) text += "line\n";
  w->pm.FindControl("notes")->SetText(CStdString(text));
  Take(*w);  // measured when painted
  EXPECT_EQ(Take(*w).At(194, 106), kUp);
  DestroyWindow(*w);
}
