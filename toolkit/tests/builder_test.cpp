#include "toolkit/testing/headless_fixture.h"
#include "toolkit/testing/skin_test_window.h"

using namespace toolkit_testing;
namespace headless = toolkit::headless;

namespace {

const char* kSkin = R"(<?xml version="1.0" encoding="UTF-8"?>
<Window size="400,300" caption="0,0,0,40" roundcorner="9,9">
  <Font name="Arial" size="12" default="true"/>
  <Font name="Arial" size="14" bold="true"/>
  <Default name="Button" value="textcolor=&quot;#FF112233&quot; height=&quot;20&quot;"/>
  <VerticalLayout name="root" bkcolor="#FFFFFFFF" inset="10,0,10,0">
    <HorizontalLayout name="title" height="40">
      <Label name="titlelabel" text="标题" width="100"/>
      <Control/>
      <Text name="titletext" text="t" width="30"/>
      <Button name="closebtn" width="30" height="30" padding="0,5,5,0"/>
    </HorizontalLayout>
    <HorizontalLayout name="body">
      <Option name="a" group="g" text="A" width="50" selected="true"/>
      <Option name="b" group="g" text="B" width="50"/>
      <Option name="tick" text="tick" width="50"/>
      <Edit name="Account" width="100" height="24" tooltip="请输入您的注册帐号"/>
      <Edit name="Password" width="100" height="24" password="true"/>
    </HorizontalLayout>
    <TabLayout name="switch" height="60" selectedid="1">
      <Label name="page0" text="0"/>
      <Label name="page1" text="1"/>
    </TabLayout>
    <Container name="slot" height="50">
      <Progress name="bar" float="true" pos="5,5,105,17" min="0" max="100" value="50"/>
      <ComputerExamine name="custom"/>
      <Unknown name="gone"/>
    </Container>
  </VerticalLayout>
</Window>)";

class CustomCallback : public IDialogBuilderCallback {
 public:
  CControlUI* CreateControl(LPCTSTR cls) override {
    return std::string(cls) == "ComputerExamine" ? new CContainerUI() : nullptr;
  }
};

class Builder : public HeadlessTest {
 protected:
  CustomCallback callback;
  std::unique_ptr<SkinWindow> Open(const char* skin = kSkin) {
    auto w = std::make_unique<SkinWindow>(skin, &callback);
    EXPECT_TRUE(w->Create(nullptr, "skin", WS_POPUP | WS_VISIBLE, 0, 100, 100, 400, 300));
    return w;
  }
};

}  // namespace

TEST_F(Builder, BuildsTheTreeAndFindsControlsByName) {
  auto w = Open();
  CPaintManagerUI& pm = w->pm;
  EXPECT_EQ(pm.GetCaptionRect(), CRect(0, 0, 0, 40));
  EXPECT_EQ(pm.GetRoundCorner().cx, 9);
  EXPECT_EQ(pm.GetFont(1).size, 14);
  EXPECT_TRUE(pm.GetFont(1).bold);
  EXPECT_EQ(pm.GetFont(-1).size, 12);
  EXPECT_EQ(pm.FindControl("closebtn")->GetClass(), "ButtonUI");
  EXPECT_EQ(pm.FindControl("a")->GetClass(), "OptionUI");
  EXPECT_EQ(pm.FindControl("titletext")->GetClass(), "TextUI");
  EXPECT_EQ(pm.FindControl("Account")->GetToolTip(), "请输入您的注册帐号");
  EXPECT_NE(pm.FindControlAs<CContainerUI>("custom"), nullptr);
  EXPECT_EQ(pm.FindControl("gone"), nullptr);
  EXPECT_EQ(pm.FindControl("nothing"), nullptr);
  EXPECT_EQ(pm.FindControlAs<CButtonUI>("titlelabel"), nullptr);
  EXPECT_EQ(static_cast<CLabelUI*>(pm.FindControl("closebtn"))->GetTextColor(), 0xFF112233u);  // class default
  EXPECT_EQ(pm.FindControlAs<CTabLayoutUI>("switch")->GetCurSel(), 1);
  EXPECT_FALSE(pm.FindControl("page0")->IsVisible());

  CDialogBuilder broken;
  EXPECT_EQ(broken.Create("missing.xml", nullptr, nullptr, &pm), nullptr);
  EXPECT_FALSE(broken.GetLastError().empty());
  EXPECT_EQ(broken.Create("<Window size=\"1,1\"></Window>", nullptr, nullptr, nullptr), nullptr);
}

TEST_F(Builder, LaysOutFixedStretchedPaddedAndFloatingControls) {
  auto w = Open();
  CPaintManagerUI& pm = w->pm;
  EXPECT_EQ(pm.FindControl("title")->GetPos(), CRect(10, 0, 390, 40));
  EXPECT_EQ(pm.FindControl("titlelabel")->GetPos(), CRect(10, 0, 110, 40));
  // The stretched Control takes what the fixed ones leave: 380 - 100 - 30 - 35.
  EXPECT_EQ(pm.FindControl("titletext")->GetX(), 110 + 215);
  EXPECT_EQ(pm.FindControl("closebtn")->GetPos(), CRect(355, 5, 385, 35));
  // Body stretches between the title and the two fixed rows below it.
  EXPECT_EQ(pm.FindControl("body")->GetPos(), CRect(10, 40, 390, 190));
  EXPECT_EQ(pm.FindControl("switch")->GetY(), 190);
  EXPECT_EQ(pm.FindControl("page1")->GetPos(), CRect(10, 190, 390, 250));
  EXPECT_EQ(pm.FindControl("bar")->GetPos(), CRect(15, 255, 115, 267));

  // A button made at run time, with a pos and then a size, as the main window adds its menu
  // buttons: the size given after pos wins.
  auto* menu = new CButtonUI();
  menu->ApplyAttributeList(R"(name="User1_Menu" float="true" bkimage="usermenubtn.png" pos="126, 22, 172, 26" width="8" height="4" )");
  pm.FindControlAs<CContainerUI>("slot")->Add(menu);
  EXPECT_EQ(pm.FindControl("User1_Menu"), menu);
  EXPECT_EQ(menu->GetPos(), CRect(10 + 126, 250 + 22, 10 + 134, 250 + 26));

  pm.FindControl("title")->SetVisible(false);  // hidden rows give their room away
  EXPECT_EQ(pm.FindControl("body")->GetY(), 0);
  pm.FindControlAs<CContainerUI>("slot")->RemoveAll();
  EXPECT_EQ(pm.FindControl("User1_Menu"), nullptr);
}

TEST_F(Builder, OptionClickComesBeforeTheStateFlipsAndGroupsKeepOne) {
  auto w = Open();
  auto* a = w->pm.FindControlAs<COptionUI>("a");
  auto* b = w->pm.FindControlAs<COptionUI>("b");
  auto* tick = w->pm.FindControlAs<COptionUI>("tick");
  ASSERT_TRUE(headless::Click(*w, "b"));
  ASSERT_GE(w->Count("click", "b"), 1);
  for (const Seen& s : w->seen) {
    if (s.type == "click" && s.sender == "b") {
      EXPECT_FALSE(s.selectedAtNotify);
    }
  }
  EXPECT_TRUE(b->IsSelected());
  EXPECT_FALSE(a->IsSelected());
  EXPECT_EQ(w->Count("selectchanged", "a"), 1);
  headless::Click(*w, "b");  // a group option stays selected when clicked again
  EXPECT_TRUE(b->IsSelected());

  headless::Click(*w, "tick");
  EXPECT_TRUE(tick->IsSelected());
  headless::Click(*w, "tick");
  EXPECT_FALSE(tick->IsSelected());
  EXPECT_TRUE(w->seen.back().type == "selectchanged");
  bool lastClickSawSelected = false;
  for (const Seen& s : w->seen) {
    if (s.type == "click" && s.sender == "tick") lastClickSawSelected = s.selectedAtNotify;
  }
  EXPECT_TRUE(lastClickSawSelected);  // the second click reported the state before it cleared
}

TEST_F(Builder, NotificationsWindowInitClicksAndDisabledControls) {
  auto w = Open();
  EXPECT_EQ(w->Count("windowinit"), 0);  // only once the window's set-up has returned
  headless::Pump();
  EXPECT_EQ(w->Count("windowinit"), 1);
  headless::Pump();
  EXPECT_EQ(w->Count("windowinit"), 1);
  EXPECT_TRUE(headless::Click(*w, "closebtn"));
  EXPECT_EQ(w->Count("click", "closebtn"), 1);
  w->pm.FindControl("closebtn")->SetEnabled(false);
  headless::Click(*w, "closebtn");
  EXPECT_EQ(w->Count("click", "closebtn"), 1);
  w->pm.FindControl("closebtn")->SetEnabled(true);
  w->pm.FindControl("closebtn")->SetVisible(false);
  EXPECT_FALSE(headless::Click(*w, "closebtn"));

  // Press on the button, release elsewhere: no click.
  CRect r = w->pm.FindControl("a")->GetPos();
  w->OnNativeMouse(WM_LBUTTONDOWN, r.left + 2, r.top + 2);
  w->OnNativeMouse(WM_LBUTTONUP, r.right + 60, r.top + 2);
  EXPECT_EQ(w->Count("click", "a"), 0);
}

TEST_F(Builder, TypingTellsTextChangedPerKeystrokeAndPasswordsStayReadable) {
  auto w = Open();
  ASSERT_TRUE(headless::TypeText(*w, "Account", "ab中"));
  EXPECT_EQ(w->Count("textchanged", "Account"), 3);
  EXPECT_EQ(w->pm.FindControl("Account")->GetText(), "ab中");
  headless::TypeText(*w, "Password", "secret");
  auto* pwd = w->pm.FindControlAs<CEditUI>("Password");
  EXPECT_TRUE(pwd->IsPasswordMode());
  EXPECT_EQ(pwd->GetText(), "secret");
  pwd->SetReadOnly(true);
  headless::TypeText(*w, "Password", "x");
  EXPECT_EQ(pwd->GetText(), "secret");
  pwd->SetMaxChar(7);
  pwd->SetReadOnly(false);
  headless::TypeText(*w, "Password", "xyz");
  EXPECT_EQ(pwd->GetText(), "secretx");
  EXPECT_FALSE(headless::TypeText(*w, "closebtn", "x"));
}

TEST_F(Builder, FiltersSeeReturnAndEscapeFirst) {
  auto w = Open();
  w->pm.FindControl("Account")->SetFocus();
  headless::PressKey(*w, VK_RETURN);
  headless::PressKey(*w, VK_ESCAPE);
  headless::PressKey(*w, 'A');
  EXPECT_EQ(w->keys, (std::vector<WPARAM>{VK_RETURN, VK_ESCAPE}));

  // A filter that handles the key keeps it from the window.
  w->swallowKeys = true;
  headless::PressKey(*w, VK_RETURN);
  EXPECT_EQ(w->keys.size(), 3u);
  w->pm.RemovePreMessageFilter(w.get());
  headless::PressKey(*w, VK_ESCAPE);
  EXPECT_EQ(w->keys.size(), 3u);
}

TEST_F(Builder, CaptionBandDragsOverPlainControlsOnly) {
  auto w = Open();
  auto* native = static_cast<toolkit::HeadlessWindow*>(w->Native());
  CPaintManagerUI& pm = w->pm;
  auto hit = [&](const char* name) {
    CRect r = pm.FindControl(name)->GetPos();
    return toolkit::CaptionHitTest(pm, POINT{r.left + 1, r.top + 1}, {"ButtonUI", "OptionUI", "TextUI"});
  };
  EXPECT_EQ(hit("titlelabel"), HTCAPTION);
  EXPECT_EQ(hit("titletext"), HTCLIENT);
  EXPECT_EQ(hit("closebtn"), HTCLIENT);
  EXPECT_EQ(hit("a"), HTCLIENT);  // below the band
  // Only ButtonUI excluded, as in the small dialogs: a Text control in the band drags.
  CRect t = pm.FindControl("titletext")->GetPos();
  EXPECT_EQ(toolkit::CaptionHitTest(pm, POINT{t.left + 1, t.top + 1}, {"ButtonUI"}), HTCAPTION);
  EXPECT_EQ(toolkit::CaptionHitTest(pm, POINT{500, 5}, {}), HTCLIENT);

  headless::ClickAt(*w, 20, 5);  // on the label in the band: a move, not a click
  EXPECT_EQ(native->MoveDrags(), 1);
  headless::Click(*w, "closebtn");
  EXPECT_EQ(native->MoveDrags(), 1);
  EXPECT_EQ(w->Count("click", "closebtn"), 1);
}

TEST_F(Builder, ProgressFillsByValueAndSurvivesAnEmptyRange) {
  auto w = Open();
  auto* bar = w->pm.FindControlAs<CProgressUI>("bar");
  EXPECT_EQ(bar->FilledRect().GetWidth(), 50);
  bar->SetMaxValue(200);
  bar->SetValue(1);
  EXPECT_EQ(bar->FilledRect().GetWidth(), 0);
  bar->SetValue(500);
  EXPECT_EQ(bar->FilledRect().GetWidth(), 100);
  bar->SetMaxValue(0);  // a total of zero bytes
  EXPECT_EQ(bar->FilledRect().GetWidth(), 0);
  bar->SetValue(-3);
  bar->SetMaxValue(10);
  EXPECT_EQ(bar->FilledRect().GetWidth(), 0);
}

TEST_F(Builder, TabLayoutShowsOnePage) {
  auto w = Open();
  auto* tab = w->pm.FindControlAs<CTabLayoutUI>("switch");
  EXPECT_TRUE(tab->SelectItem(0));
  EXPECT_TRUE(w->pm.FindControl("page0")->IsVisible());
  EXPECT_FALSE(w->pm.FindControl("page1")->IsVisible());
  EXPECT_FALSE(tab->SelectItem(2));
  EXPECT_FALSE(tab->SelectItem(-1));
  EXPECT_EQ(tab->GetCurSel(), 0);
}
