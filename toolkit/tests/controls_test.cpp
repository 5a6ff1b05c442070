// What each control shows and tells for the user's input: button state images, options and their
// groups, edits, the rich edit, the progress bar, and windows that go away inside a notification.

#include "toolkit/testing/skin_folder.h"
#include "toolkit/tests/ink.h"

using namespace toolkit_testing;
namespace headless = toolkit::headless;

namespace {

constexpr uint32_t kRed = 0xFFFF0000u, kGreen = 0xFF00FF00u, kBlue = 0xFF0000FFu, kYellow = 0xFFFFFF00u,
                   kGray = 0xFF808080u, kMagenta = 0xFFFF00FFu, kBlack = 0xFF000000u, kWhite = 0xFFFFFFFFu;

class Controls : public SkinFolderTest {
 protected:
  void SetUp() override {
    SkinFolderTest::SetUp();
    Solid("normal.png", kRed);
    Solid("hot.png", kGreen);
    Solid("pushed.png", kBlue);
    Solid("focus.png", kYellow);
    Solid("off.png", kGray);
    Solid("sel.png", kMagenta);
  }
};

// A window that deletes itself once it is gone, as the programs' dialogs do; gone turns true when
// the object goes.
class SelfDeleting : public SkinWindow {
 public:
  SelfDeleting(std::string skin, bool* gone) : SkinWindow(std::move(skin)), gone_(gone) {}
  ~SelfDeleting() override { *gone_ = true; }

 private:
  bool* gone_;
};

}  // namespace

TEST_F(Controls, ButtonMadeAtRunTimeShowsTheImageOfItsState) {
  auto w = Open(R"(<Window size="200,100"><VerticalLayout bkcolor="#FFFFFFFF">
      <HorizontalLayout name="row" height="40"><Control name="gap" width="40"/></HorizontalLayout>
      <Control/>
    </VerticalLayout></Window>)", 200, 100);
  auto* btn = new CButtonUI();
  btn->ApplyAttributeList(R"(name="btn" width="40")");
  btn->SetNormalImage("normal.png");
  btn->SetHotImage("hot.png");
  btn->SetPushedImage("pushed.png");
  btn->SetFocusedImage("focus.png");
  btn->SetDisabledImage("off.png");
  ASSERT_TRUE(w->pm.FindControlAs<CContainerUI>("row")->AddAt(btn, 0));
  auto colour = [&] { return Take(*w).At(20, 20); };

  EXPECT_EQ(colour(), kRed);
  w->OnNativeMouse(WM_MOUSEMOVE, 20, 20);
  EXPECT_TRUE(btn->IsHot());
  EXPECT_EQ(colour(), kGreen);
  w->OnNativeMouse(WM_LBUTTONDOWN, 20, 20);
  EXPECT_TRUE(btn->IsPushed());
  EXPECT_EQ(colour(), kBlue);
  w->OnNativeMouse(WM_LBUTTONUP, 20, 20);
  EXPECT_EQ(w->Count("click", "btn"), 1);
  EXPECT_EQ(colour(), kGreen);  // still under the pointer
  w->OnNativeMouse(WM_MOUSEMOVE, 60, 20);
  EXPECT_FALSE(btn->IsHot());
  EXPECT_TRUE(btn->IsFocused());
  EXPECT_EQ(colour(), kYellow);  // the press gave it the focus
  w->pm.SetFocus(nullptr);
  EXPECT_EQ(colour(), kRed);

  btn->SetEnabled(false);
  EXPECT_EQ(colour(), kGray);
  headless::ClickAt(*w, 20, 20);
  EXPECT_FALSE(btn->IsHot());  // a disabled button neither lights up nor clicks
  EXPECT_FALSE(btn->IsPushed());
  EXPECT_EQ(w->Count("click", "btn"), 1);
  EXPECT_EQ(colour(), kGray);
  btn->SetDisabledImage("");
  EXPECT_EQ(colour(), kRed);  // without a disabled image it keeps its normal look
  btn->SetEnabled(true);
  headless::ClickAt(*w, 20, 20);
  EXPECT_EQ(w->Count("click", "btn"), 2);
  // The space bar clicks the focused button, as a user expects.
  headless::PressKey(*w, VK_SPACE);
  EXPECT_EQ(w->Count("click", "btn"), 3);
  DestroyWindow(*w);
}

TEST_F(Controls, ControlsInsideADisabledContainerTakeNoClicks) {
  auto w = Open(R"(<Window size="100,40"><HorizontalLayout>
      <HorizontalLayout name="panel" enabled="false"><Button name="inner" width="40"/></HorizontalLayout>
      <Button name="outer" width="40"/>
    </HorizontalLayout></Window>)", 100, 40);
  headless::Click(*w, "inner");
  EXPECT_EQ(w->Count("click", "inner"), 0);
  EXPECT_FALSE(w->pm.FindControlAs<CButtonUI>("inner")->IsHot());
  headless::Click(*w, "outer");
  EXPECT_EQ(w->Count("click", "outer"), 1);
  w->pm.FindControl("panel")->SetEnabled(true);
  headless::Click(*w, "inner");
  EXPECT_EQ(w->Count("click", "inner"), 1);
  DestroyWindow(*w);
}

TEST_F(Controls, OptionShowsItsSelectedImageAndGroupsReachAcrossContainers) {
  auto w = Open(R"(<Window size="300,40"><HorizontalLayout bkcolor="#FFFFFFFF">
      <Container name="User1" width="50"><Option name="User1Btn" group="UserGroup" normalimage="normal.png" selectedimage="sel.png"/></Container>
      <Container name="User2" width="50"><Option name="User2Btn" group="UserGroup" normalimage="normal.png" selectedimage="sel.png"/></Container>
      <Container name="User3" width="50" visible="false"><Option name="User3Btn" group="UserGroup" selected="true"/></Container>
      <VerticalLayout width="50"><Option name="other" group="Other" selected="true"/></VerticalLayout>
      <Option name="tick" width="50" normalimage="normal.png" selectedimage="sel.png"/>
    </HorizontalLayout></Window>)", 300, 40);
  auto opt = [&](const char* name) { return w->pm.FindControlAs<COptionUI>(name); };
  EXPECT_EQ(Take(*w).At(25, 20), kRed);
  headless::Click(*w, "User1Btn");
  EXPECT_TRUE(opt("User1Btn")->IsSelected());
  EXPECT_FALSE(opt("User3Btn")->IsSelected());  // the hidden slot's option lets go too
  EXPECT_EQ(w->Count("selectchanged", "User3Btn"), 1);
  EXPECT_EQ(Take(*w).At(25, 20), kMagenta);

  headless::Click(*w, "User2Btn");
  EXPECT_FALSE(opt("User1Btn")->IsSelected());
  EXPECT_TRUE(opt("User2Btn")->IsSelected());
  EXPECT_TRUE(opt("other")->IsSelected());  // another group is left alone
  {
    Shot shot = Take(*w);
    EXPECT_EQ(shot.At(25, 20), kRed);
    EXPECT_EQ(shot.At(75, 20), kMagenta);
  }

  // Clicking the selected option of a group tells the click again but changes nothing.
  headless::Click(*w, "User2Btn");
  EXPECT_EQ(w->Count("click", "User2Btn"), 2);
  EXPECT_EQ(w->Count("selectchanged", "User2Btn"), 1);
  EXPECT_TRUE(opt("User2Btn")->IsSelected());

  // A program may still clear a group's option.
  opt("User2Btn")->Selected(false);
  EXPECT_FALSE(opt("User2Btn")->IsSelected());

  // An option without a group toggles and shows it.
  headless::Click(*w, "tick");
  EXPECT_EQ(Take(*w).At(175, 20), kMagenta);
  headless::Click(*w, "tick");
  EXPECT_EQ(Take(*w).At(175, 20), kRed);
  DestroyWindow(*w);
}

TEST_F(Controls, AGroupKeepsOneSelectedOptionEvenWhenTheSkinSelectsTwo) {
  auto w = Open(R"(<Window size="200,40"><HorizontalLayout>
      <Option name="a" group="g" selected="true" width="50"/>
      <HorizontalLayout width="100"><Option name="b" group="g" selected="true"/></HorizontalLayout>
    </HorizontalLayout></Window>)", 200, 40);
  EXPECT_FALSE(w->pm.FindControlAs<COptionUI>("a")->IsSelected());
  EXPECT_TRUE(w->pm.FindControlAs<COptionUI>("b")->IsSelected());

  // An option joining the group at run time already selected takes the selection over.
  auto* c = new COptionUI();
  c->ApplyAttributeList(R"(name="c" selected="true" width="20")");
  static_cast<CContainerUI*>(w->pm.GetRoot())->Add(c);
  c->SetGroup("g");
  EXPECT_FALSE(w->pm.FindControlAs<COptionUI>("b")->IsSelected());
  EXPECT_TRUE(c->IsSelected());
  DestroyWindow(*w);
}

TEST_F(Controls, AWindowDestroyedInsideAClickNotificationIsLeftAlone) {
  const char* skin = R"(<Window size="200,40"><HorizontalLayout>
      <Button name="kill" width="50"/>
      <Option name="killopt" group="g" width="50"/>
      <Option name="killtick" width="50"/>
    </HorizontalLayout></Window>)";
  // A window that destroys itself on its first "click"; gone turns true with its final message.
  auto doomed = [&](bool& gone) {
    auto* w = toolkit::OpenWindow<SelfDeleting>(nullptr, "doomed", WS_POPUP | WS_VISIBLE, 0, RECT{0, 0, 200, 40}, skin,
                                                &gone);
    EXPECT_TRUE(w);
    HWND hwnd = w->GetHWND();
    w->onNotify = [hwnd](TNotifyUI& msg) {
      if (msg.sType == "click") DestroyWindow(hwnd);
    };
    return w;
  };
  for (const char* name : {"kill", "killopt", "killtick"}) {
    bool gone = false;
    HWND hwnd = doomed(gone)->GetHWND();
    EXPECT_TRUE(headless::Click(hwnd, name));
    EXPECT_TRUE(gone) << name;
    EXPECT_FALSE(IsWindow(hwnd));
    headless::Pump();  // what was posted to it is dropped
  }
  // The same from the keyboard: the space bar on the focused button.
  bool gone = false;
  SelfDeleting* w = doomed(gone);
  HWND hwnd = w->GetHWND();
  w->pm.FindControl("kill")->SetFocus();
  headless::PressKey(hwnd, VK_SPACE);
  EXPECT_TRUE(gone);
}

TEST_F(Controls, EditsTellTypingButNotTheProgramsOwnText) {
  auto w = Open(R"(<Window size="300,30"><HorizontalLayout>
      <Edit name="account" width="100" maxchar="5"/>
      <Edit name="locked" width="100" readonly="true" text="fixed"/>
      <Edit name="off" width="100" enabled="false"/>
    </HorizontalLayout></Window>)", 300, 30);
  auto* account = w->pm.FindControlAs<CEditUI>("account");
  account->SetText("ab");
  EXPECT_EQ(w->Count("textchanged"), 0);  // what the program sets is not a user's edit
  headless::TypeText(*w, "account", "cdefg");
  EXPECT_EQ(account->GetText(), "abcde");
  EXPECT_EQ(w->Count("textchanged", "account"), 3);
  account->SetText("");
  headless::TypeText(*w, "account", "x");
  EXPECT_EQ(account->GetText(), "x");

  headless::TypeText(*w, "locked", "more");
  EXPECT_EQ(w->pm.FindControl("locked")->GetText(), "fixed");
  headless::TypeText(*w, "off", "more");
  EXPECT_TRUE(w->pm.FindControl("off")->GetText().IsEmpty());
  EXPECT_EQ(w->Count("textchanged", "locked") + w->Count("textchanged", "off"), 0);
  DestroyWindow(*w);
}

TEST_F(Controls, PasswordEditsShowTheSameBulletsWhateverWasTyped) {
  auto w = Open(R"(<Window size="400,30"><HorizontalLayout bkcolor="#FFFFFFFF">
      <Edit name="p1" width="100" password="true" textcolor="#FF000000"/>
      <Edit name="p2" width="100" password="true" textcolor="#FF000000"/>
      <Edit name="t1" width="100" textcolor="#FF000000"/>
      <Edit name="t2" width="100" textcolor="#FF000000"/>
    </HorizontalLayout></Window>)", 400, 30);
  headless::TypeText(*w, "p1", "iiii");
  headless::TypeText(*w, "p2", "WWWW");
  headless::TypeText(*w, "t1", "iiii");
  headless::TypeText(*w, "t2", "WWWW");
  EXPECT_EQ(w->pm.FindControl("p2")->GetText(), "WWWW");
  Shot shot = Take(*w);
  Ink p1 = InkOver(shot.surface, CRect(0, 0, 100, 30), kWhite);
  Ink p2 = InkOver(shot.surface, CRect(100, 0, 200, 30), kWhite);
  Ink t1 = InkOver(shot.surface, CRect(200, 0, 300, 30), kWhite);
  Ink t2 = InkOver(shot.surface, CRect(300, 0, 400, 30), kWhite);
  EXPECT_GT(p1.count, 0);
  EXPECT_EQ(p1.count, p2.count);
  EXPECT_EQ(p1.box.GetWidth(), p2.box.GetWidth());
  EXPECT_NE(t1.count, t2.count);  // the plain ones do show what was typed
  DestroyWindow(*w);
}

TEST_F(Controls, RichEditShowsEveryLineAndScrollsNoFurtherThanItsText) {
  auto w = Open(R"(<Window size="200,100"><VerticalLayout bkcolor="#FFFFFFFF">
      <RichEdit name="one" height="40" readonly="true" inset="2,2,2,2"/>
      <RichEdit name="many" height="40" readonly="true" vscrollbar="true" inset="2,2,2,2"/>
    </VerticalLayout></Window>)", 200, 100);
  auto* one = w->pm.FindControlAs<CRichEditUI>("one");
  auto* many = w->pm.FindControlAs<CRichEditUI>("many");
  EXPECT_TRUE(many->IsReadOnly());
  one->SetText("国");
  many->SetText("国\r\n国\r\n国\r\n国\r\n国");
  { Shot shot = Take(*w); }
  ASSERT_GT(one->GetContentHeight(), 0);
  EXPECT_GE(many->GetContentHeight(), 4 * one->GetContentHeight());  // Windows line ends break lines
  many->SetScrollPos(10000);
  { Shot shot = Take(*w); }
  EXPECT_EQ(many->GetScrollPos(), many->GetContentHeight() - 36);
  one->SetScrollPos(50);
  { Shot shot = Take(*w); }
  EXPECT_EQ(one->GetScrollPos(), 0);  // text that fits does not scroll
  many->SetText("国");
  EXPECT_EQ(many->GetScrollPos(), 0);  // new text starts at its top
  DestroyWindow(*w);
}

TEST_F(Controls, ProgressFillsItsShareOfTheRangeWithTheForegroundImage) {
  Solid("fg.png", kBlue);
  ASSERT_TRUE(WritePng(Res("halves.png"), 100, 10, kRed, kGreen));  // green | red
  auto w = Open(R"(<Window size="100,30"><VerticalLayout bkcolor="#FF000000">
      <Progress name="bar" height="10" min="50" max="150" value="100" foreimage="fg.png"/>
      <Progress name="squash" height="10" value="50" foreimage="halves.png"/>
      <Progress name="cut" height="10" value="50" foreimage="halves.png" isstretchfore="false"/>
    </VerticalLayout></Window>)", 100, 30);
  auto* bar = w->pm.FindControlAs<CProgressUI>("bar");
  EXPECT_EQ(bar->FilledRect().GetWidth(), 50);
  {
    Shot shot = Take(*w);
    EXPECT_EQ(shot.At(25, 5), kBlue);
    EXPECT_EQ(shot.At(75, 5), kBlack);
    // Stretched, the whole image fits into the filled half; cut, only its left half shows.
    EXPECT_EQ(shot.At(10, 15), kGreen);
    EXPECT_EQ(shot.At(40, 15), kRed);
    EXPECT_EQ(shot.At(60, 15), kBlack);
    EXPECT_EQ(shot.At(10, 25), kGreen);
    EXPECT_EQ(shot.At(40, 25), kGreen);
    EXPECT_EQ(shot.At(60, 25), kBlack);
  }
  bar->SetValue(40);  // below the minimum: nothing
  EXPECT_EQ(Take(*w).At(2, 5), kBlack);
  bar->SetValue(151);
  EXPECT_EQ(Take(*w).At(98, 5), kBlue);
  bar->SetMinValue(0);
  bar->SetMaxValue(200);
  bar->SetValue(50);
  EXPECT_EQ(bar->FilledRect().GetWidth(), 25);
  bar->SetFgImage("");
  EXPECT_EQ(Take(*w).At(10, 5), kBlack);
  DestroyWindow(*w);
}

TEST_F(Controls, TagsComeFromTheSkinAndThePrograms) {
  auto w = Open(R"(<Window size="100,30"><HorizontalLayout>
      <Option name="硬件1已选择" tag="2"/>
      <Label name="plain"/>
    </HorizontalLayout></Window>)", 100, 30);
  CControlUI* entry = w->pm.FindControl("硬件1已选择");
  EXPECT_EQ(entry->GetTag(), 2u);
  entry->SetTag(1);
  EXPECT_EQ(entry->GetTag(), 1u);
  EXPECT_EQ(w->pm.FindControl("plain")->GetTag(), 0u);
  DestroyWindow(*w);
}
