// The system drop-down and the user menu: what they post to the main window, and when they close.
#include <gtest/gtest.h>

#include "client/ui/menus/system_drop_down_wnd.h"
#include "client/ui/menus/user_menu_wnd.h"
#include "menus_rig.h"

namespace {

using menus_testing::kMainRect;
using menus_testing::MenusTest;
namespace headless = toolkit::headless;

class PopupMenus : public MenusTest {
 protected:
  HWND OpenDropDown() { return OpenSystemDropDown(*context, SystemDropDownPosition(kMainRect)); }
  static RECT RectOf(HWND hwnd) {
    RECT rect{};
    GetWindowRect(hwnd, &rect);
    return rect;
  }
};

TEST_F(PopupMenus, DropDownStandsAsAPopUpToolWindowBesideTheTitleBarButton) {
  HWND menu = OpenDropDown();
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(WindowNamed("SystemDlg"), menu);
  EXPECT_TRUE(IsWindowVisible(menu));
  RECT rect = RectOf(menu);
  EXPECT_EQ(rect.left, 100 + 735);
  EXPECT_EQ(rect.top, 50 + 29);
  EXPECT_EQ(rect.right - rect.left, 112);
  EXPECT_EQ(rect.bottom - rect.top, 106);
  EXPECT_TRUE(GetWindowLong(menu, GWL_STYLE) & WS_POPUP);
  EXPECT_TRUE(GetWindowLong(menu, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
  EXPECT_EQ(WindowObject<CWindowWnd>(menu)->Owner(), main.GetHWND());
  EXPECT_EQ(WindowObject<CWindowWnd>(menu)->Alpha(), 250);
}

TEST_F(PopupMenus, EachDropDownChoiceIsPostedToTheMainWindowAndClosesTheDropDown) {
  const std::pair<const char*, WPARAM> choices[] = {{"系统设置", 1}, {"关于", 2}, {"退出", 3}};
  for (const auto& [control, choice] : choices) {
    SCOPED_TRACE(control);
    main.log.clear();
    HWND menu = OpenDropDown();
    ASSERT_TRUE(headless::Click(menu, control));
    Pump();
    EXPECT_FALSE(IsWindow(menu));
    auto posted = Posted(client_messages::kMsgSystemMenuChoice);
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_EQ(posted[0].first, choice);
  }
  EXPECT_EQ(client_messages::kMsgSystemMenuChoice, 10045u);
}

TEST_F(PopupMenus, TheWebLinkOpensTheMemberSiteAndLeavesTheDropDownOpenUntilItLosesTheFocus) {
  HWND menu = OpenDropDown();
  ASSERT_TRUE(headless::Click(menu, "访问Vymera网"));
  Pump();
  EXPECT_TRUE(IsWindow(menu));
  EXPECT_EQ(OpenedPages(), std::vector<std::string>{"http://member.test/"});
  EXPECT_EQ(headless::Desktop().OpenedUrls().back().showCommand, SW_SHOWMAXIMIZED);
  EXPECT_TRUE(Posted(client_messages::kMsgSystemMenuChoice).empty());

  headless::LoseFocus(menu);
  Pump();
  EXPECT_FALSE(IsWindow(menu));
  EXPECT_TRUE(Posted(client_messages::kMsgSystemMenuChoice).empty());
}

TEST_F(PopupMenus, AKillFocusPostedByTheFrameClosesTheDropDownOpenedFromTheTray) {
  HWND menu = OpenSystemDropDown(*context, POINT{1000, 700});
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(RectOf(menu).left, 1000);
  PostMessage(menu, WM_KILLFOCUS, 0, 0);
  Pump();  // the kill focus, which asks the window to close
  Pump();
  EXPECT_FALSE(IsWindow(menu));
}

TEST_F(PopupMenus, ALoggedOutUsersMenuOffersLoginAndPostsOneWithItsIndex) {
  AddUser("first@test", "pw1", true);
  AddUser("second@test", "pw2", false);
  HWND menu = OpenUserMenu(*context, 1, UserMenuPosition(kMainRect, 1));
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(WindowNamed("UserMenuDlg"), menu);
  RECT rect = RectOf(menu);
  EXPECT_EQ(rect.left, 100 + 181 + 100);
  EXPECT_EQ(rect.top, 50 + 69);
  EXPECT_EQ(rect.right - rect.left, 98);
  EXPECT_EQ(rect.bottom - rect.top, 57);
  EXPECT_TRUE(GetWindowLong(menu, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
  EXPECT_EQ(Text(menu, "登陆状态"), "      登陆");

  ASSERT_TRUE(headless::Click(menu, "登陆状态"));
  Pump();
  EXPECT_FALSE(IsWindow(menu));
  EXPECT_EQ(Posted(client_messages::kMsgUserMenuChoice), (std::vector<std::pair<WPARAM, LPARAM>>{{1, 1}}));
}

TEST_F(PopupMenus, ALoggedInUsersMenuOffersLogoutAndClearingTheAccount) {
  AddUser("first@test", "pw1", true);
  ASSERT_TRUE(core->users[0]->loggedIn);
  HWND menu = OpenUserMenu(*context, 0, UserMenuPosition(kMainRect, 0));
  EXPECT_EQ(Text(menu, "登陆状态"), "      退出登陆");
  ASSERT_TRUE(headless::Click(menu, "登陆状态"));
  Pump();
  EXPECT_FALSE(IsWindow(menu));

  menu = OpenUserMenu(*context, 0, UserMenuPosition(kMainRect, 0));
  ASSERT_TRUE(headless::Click(menu, "清除账号"));
  Pump();
  EXPECT_FALSE(IsWindow(menu));
  EXPECT_EQ(Posted(client_messages::kMsgUserMenuChoice), (std::vector<std::pair<WPARAM, LPARAM>>{{2, 0}, {3, 0}}));
}

TEST_F(PopupMenus, AUserMenuClosesWithoutAChoiceWhenItLosesTheFocusAndOpensOnlyForAUserThatExists) {
  AddUser("first@test", "pw1", false);
  HWND menu = OpenUserMenu(*context, 0, POINT{0, 0});
  headless::LoseFocus(menu);
  Pump();
  EXPECT_FALSE(IsWindow(menu));
  EXPECT_TRUE(Posted(client_messages::kMsgUserMenuChoice).empty());

  EXPECT_EQ(OpenUserMenu(*context, 1, POINT{0, 0}), nullptr);
  EXPECT_EQ(WindowNamed("UserMenuDlg"), nullptr);
}

}  // namespace
