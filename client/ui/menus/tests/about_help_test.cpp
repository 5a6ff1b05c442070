// The about box and the help dialog: their texts, keys, pages and links.
#include <gtest/gtest.h>

#include <set>

#include "client/core/version/version.h"
#include "client/ui/menus/about_dlg.h"
#include "client/ui/menus/help_dlg.h"
#include "menus_rig.h"

namespace {

using menus_testing::MenusTest;
namespace headless = toolkit::headless;

class AboutAndHelp : public MenusTest {
 protected:
  static int Page(HWND dlg) { return dynamic_cast<CTabLayoutUI*>(Control(dlg, "switch"))->GetCurSel(); }
  static int Font(HWND dlg, const char* label) { return dynamic_cast<CLabelUI*>(Control(dlg, label))->GetFont(); }
  // The help text pages each have a "back" button of their own: click the one shown.
  static bool ClickShownBack(HWND dlg) {
    CPaintManagerUI* pm = CPaintManagerUI::FromWindow(dlg);
    CControlUI* back = nullptr;
    pm->GetRoot()->ForEach([&](CControlUI* c) {
      if (c->GetName() == "back" && c->IsVisibleInTree()) back = c;
    });
    if (!back) return false;
    const RECT& pos = back->GetPos();
    return headless::ClickAt(dlg, (pos.left + pos.right) / 2, (pos.top + pos.bottom) / 2);
  }
};

TEST_F(AboutAndHelp, TheAboutBoxShowsTheVersionIgnoresEscapeAndLinksToTheCompanySite) {
  bool ran = false;
  WhenWindowStands("AboutDlg", [&](HWND about) {
    ran = true;
    EXPECT_EQ(Text(about, "版本"), "版本：" + ProgramVersion() + "       ");
    headless::PressKey(about, VK_ESCAPE);
    Pump();
    EXPECT_TRUE(IsWindow(about));
    bool handled = false;
    WindowObject<CAboutDlg>(about)->MessageHandler(WM_KEYDOWN, VK_ESCAPE, 0, handled);
    EXPECT_TRUE(handled) << "Escape is taken before any control sees it";

    ASSERT_TRUE(headless::Click(about, "访问Vymera网"));
    Pump();
    EXPECT_TRUE(IsWindow(about));
    EXPECT_EQ(OpenedPages(), std::vector<std::string>{"http://company.test/"});
    EXPECT_EQ(headless::Desktop().OpenedUrls().back().showCommand, SW_SHOWMAXIMIZED);
    headless::PressKey(about, VK_RETURN);
  });
  RunAboutDialog(*context);
  EXPECT_TRUE(ran);
  EXPECT_EQ(WindowNamed("AboutDlg"), nullptr);
  EXPECT_EQ(CAboutDlg::VersionText("1.0.0.2"), "版本：1.0.0.2       ");
}

TEST_F(AboutAndHelp, TheAboutBoxClosesOnItsButtonsOverTheMainWindow) {
  for (const char* closer : {"确认", "closebtn"}) {
    SCOPED_TRACE(closer);
    bool ran = false;
    WhenWindowStands("AboutDlg", [&](HWND about) {
      ran = true;
      EXPECT_EQ(WindowObject<CWindowWnd>(about)->Owner(), main.GetHWND());
      EXPECT_FALSE(IsWindowEnabled(main)) << "modal over the main window";
      EXPECT_TRUE(headless::Click(about, closer));
    });
    RunAboutDialog(*context);
    EXPECT_TRUE(ran);
  }
}

TEST_F(AboutAndHelp, HelpTabsAndTopicsShowTheirPagesAndMarkTheTabShown) {
  bool ran = false;
  WhenWindowStands("HelpDlg", [&](HWND help) {
    ran = true;
    EXPECT_EQ(Page(help), 0);
    const std::pair<const char*, int> topics[] = {{"添加账户", 2},
                                                  {"绑定硬件", 3},
                                                  {"同步数据", 4},
                                                  {"硬件设置", 5},
                                                  {"同步失败的几种常见情况", 6},
                                                  {"杀毒软件报错与相应设置", 7}};
    for (const auto& [topic, page] : topics) {
      SCOPED_TRACE(topic);
      ASSERT_TRUE(headless::Click(help, topic));
      EXPECT_EQ(Page(help), page);
      ASSERT_TRUE(ClickShownBack(help));
      EXPECT_EQ(Page(help), 0);
    }
    ASSERT_TRUE(headless::Click(help, "联系我们"));
    EXPECT_EQ(Page(help), 1);
    EXPECT_EQ(Font(help, "帮助"), 0);
    EXPECT_EQ(Font(help, "联系我们"), 1);
    ASSERT_TRUE(ClickShownBack(help));
    EXPECT_EQ(Page(help), 0);
    EXPECT_EQ(Font(help, "帮助"), 1);
    EXPECT_EQ(Font(help, "联系我们"), 0);
    ASSERT_TRUE(headless::Click(help, "contactus"));
    EXPECT_EQ(Page(help), 1);
    EXPECT_EQ(Font(help, "联系我们"), 1);
    ASSERT_TRUE(headless::Click(help, "帮助"));
    EXPECT_EQ(Page(help), 0);
    EXPECT_EQ(Font(help, "帮助"), 1);
    EXPECT_TRUE(OpenedPages().empty());
    EXPECT_TRUE(headless::Click(help, "取消"));
  });
  RunHelpDialog(*context);
  EXPECT_TRUE(ran);
  EXPECT_EQ(WindowNamed("HelpDlg"), nullptr);
}

TEST_F(AboutAndHelp, HelpLinksOpenTheHelpCentreAndTheNineServicePagesWithTheirShowCommands) {
  bool ran = false;
  WhenWindowStands("HelpDlg", [&](HWND help) {
    ran = true;
    ASSERT_TRUE(headless::Click(help, "vymerahelp"));
    ASSERT_TRUE(headless::Click(help, "联系我们"));
    for (const char* button : {"QQ1", "QQ2", "QQ3", "QQ4", "Cooper", "TB1", "TB2", "TB3", "TB4"}) {
      EXPECT_TRUE(headless::Click(help, button)) << button;
    }
    Pump();
    EXPECT_TRUE(IsWindow(help));
    EXPECT_TRUE(headless::Click(help, "closebtn"));
  });
  RunHelpDialog(*context);
  ASSERT_TRUE(ran);

  const auto& urls = headless::Desktop().OpenedUrls();
  ASSERT_EQ(urls.size(), 10u);
  EXPECT_EQ(urls[0].url, "http://member.test/help");
  EXPECT_EQ(urls[0].showCommand, SW_SHOWMAXIMIZED);
  EXPECT_EQ(urls[1].showCommand, SW_SHOWNORMAL);
  std::set<std::string> distinct;
  for (size_t i = 1; i < urls.size(); ++i) {
    EXPECT_EQ(urls[i].url.rfind("http://member.test/", 0), 0u) << urls[i].url;
    if (i > 1) {
      EXPECT_EQ(urls[i].showCommand, 0) << urls[i].url;
    }
    distinct.insert(urls[i].url);
  }
  EXPECT_EQ(distinct.size(), 9u) << "every button has a page of its own";
}

}  // namespace
