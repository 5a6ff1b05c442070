// The settings dialog over the settings file: what it shows, what it stores, and when.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>

#include "client/ui/menus/system_set_dlg.h"
#include "menus_rig.h"
#include "platform/autostart.h"
#include "platform/codepage.h"
#include "platform/file_io.h"

namespace {

using menus_testing::MenusTest;
namespace headless = toolkit::headless;

class SettingsDialog : public MenusTest {
 protected:
  void SetUp() override {
    MenusTest::SetUp();
    // The start-with-desktop entry goes to this test's own folder, never the user's.
    if (const char* old = std::getenv("XDG_CONFIG_HOME")) oldConfig_ = old;
    setenv("XDG_CONFIG_HOME", folder.File("config").c_str(), 1);
  }
  void TearDown() override {
    if (oldConfig_) {
      setenv("XDG_CONFIG_HOME", oldConfig_->c_str(), 1);
    } else {
      unsetenv("XDG_CONFIG_HOME");
    }
    MenusTest::TearDown();
  }

  // What the file holds now.
  SettingsStore Stored() const {
    SettingsStore stored;
    stored.Load(core->settings.FilePath());
    return stored;
  }
  static bool Selected(HWND dlg, const char* option) {
    auto* o = dynamic_cast<COptionUI*>(Control(dlg, option));
    return o && o->IsSelected();
  }
  static bool Enabled(HWND dlg, const char* control) {
    CControlUI* c = Control(dlg, control);
    return c && c->IsEnabled();
  }
  static int Page(HWND dlg) { return dynamic_cast<CTabLayoutUI*>(Control(dlg, "switch"))->GetCurSel(); }
  static void Retype(HWND dlg, const char* edit, const std::string& text) {
    Control(dlg, edit)->SetText("");
    EXPECT_TRUE(headless::TypeText(dlg, edit, CStdString(text))) << edit;
  }
  // Runs the dialog with action inside it.
  void Run(std::function<void(HWND)> action) {
    bool ran = false;
    WhenWindowStands("SystemSetSet", [&](HWND dlg) {
      ran = true;
      action(dlg);
      if (IsWindow(dlg)) PostMessage(dlg, WM_CLOSE, 0, 0);
    });
    RunSettingsDialog(*context);
    EXPECT_TRUE(ran);
  }

  std::optional<std::string> oldConfig_;
};

TEST_F(SettingsDialog, EveryValueTravelsFromTheFileToTheControlsAndBackAndTheTabsSwitchPages) {
  SettingsStore& s = core->settings;
  s.AutoStart = false;
  s.ShowCloseTip = true;
  s.AutoUpdate = false;
  s.UseProxy = false;
  s.ShowUpdateWindow = true;
  s.TixingTime = 30;
  s.proxyAddress = "proxy.lan";
  s.proxyPort = "3128";
  s.proxyUserName = "张三";
  s.proxyPassword = "密码abc";
  ASSERT_TRUE(s.Save());

  Run([&](HWND dlg) {
    EXPECT_FALSE(Selected(dlg, "自动启动"));
    EXPECT_TRUE(Selected(dlg, "退出时弹出确认窗口"));
    EXPECT_FALSE(Selected(dlg, "自动升级软件"));
    EXPECT_FALSE(Selected(dlg, "启用代理"));
    EXPECT_TRUE(Selected(dlg, "弹出同步提示窗口"));
    EXPECT_TRUE(Selected(dlg, "30分钟"));
    EXPECT_FALSE(Selected(dlg, "15分钟"));
    EXPECT_EQ(Text(dlg, "代理地址"), "proxy.lan");
    EXPECT_EQ(Text(dlg, "代理端口"), "3128");
    EXPECT_EQ(Text(dlg, "用户名"), "张三");
    EXPECT_EQ(Text(dlg, "密码"), "密码abc");
    EXPECT_FALSE(Enabled(dlg, "代理地址"));
    EXPECT_FALSE(Enabled(dlg, "应用"));

    EXPECT_EQ(Page(dlg), 0);
    EXPECT_FALSE(headless::Click(dlg, "启用代理")) << "the proxy page is not shown yet";
    for (const char* option : {"自动启动", "退出时弹出确认窗口", "自动升级软件", "弹出同步提示窗口", "60分钟"}) {
      EXPECT_TRUE(headless::Click(dlg, option)) << option;
    }
    EXPECT_TRUE(Enabled(dlg, "应用"));
    ASSERT_TRUE(headless::Click(dlg, "网络代理"));
    EXPECT_EQ(Page(dlg), 1);
    EXPECT_TRUE(Shown(dlg, "代理地址"));
    ASSERT_TRUE(headless::Click(dlg, "启用代理"));
    for (const char* edit : {"代理地址", "代理端口", "用户名", "密码"}) EXPECT_TRUE(Enabled(dlg, edit)) << edit;
    Retype(dlg, "代理地址", "10.0.0.8");
    Retype(dlg, "代理端口", "8080");
    Retype(dlg, "用户名", "李四");
    Retype(dlg, "密码", "口令ü1");
    ASSERT_TRUE(headless::Click(dlg, "常用设置"));
    EXPECT_EQ(Page(dlg), 0);
    ASSERT_TRUE(headless::Click(dlg, "确认"));
  });

  SettingsStore stored = Stored();
  EXPECT_TRUE(stored.AutoStart);
  EXPECT_FALSE(stored.ShowCloseTip);
  EXPECT_TRUE(stored.AutoUpdate);
  EXPECT_TRUE(stored.UseProxy);
  EXPECT_FALSE(stored.ShowUpdateWindow);
  EXPECT_EQ(stored.TixingTime, 60);
  EXPECT_EQ(stored.proxyAddress, "10.0.0.8");
  EXPECT_EQ(stored.proxyPort, "8080");
  EXPECT_EQ(stored.proxyUserName, "李四");
  EXPECT_EQ(stored.proxyPassword, "口令ü1");
  EXPECT_EQ(core->settings.proxyPassword, "口令ü1");
  EXPECT_TRUE(platform::PathExists(platform::AutostartEntryPath("Vymera")));

  // And back again: the dialog shows the stored values, and switching AutoStart off removes the entry.
  Run([&](HWND dlg) {
    EXPECT_TRUE(Selected(dlg, "自动启动"));
    EXPECT_TRUE(Selected(dlg, "启用代理"));
    EXPECT_TRUE(Enabled(dlg, "密码"));
    EXPECT_TRUE(Selected(dlg, "60分钟"));
    EXPECT_EQ(Text(dlg, "密码"), "口令ü1");
    ASSERT_TRUE(headless::Click(dlg, "自动启动"));
    ASSERT_TRUE(headless::Click(dlg, "确认"));
  });
  EXPECT_FALSE(Stored().AutoStart);
  EXPECT_FALSE(platform::PathExists(platform::AutostartEntryPath("Vymera")));
}

// The poll reads an interval it does not know as fifteen minutes; the dialog shows what the poll does.
TEST_F(SettingsDialog, AnIntervalOutsideTheChoicesShowsFifteenAndApplyStoresTheChoiceAndStaysOpen) {
  ASSERT_TRUE(platform::WriteFileAtomically(core->settings.FilePath(),
                                            platform::ToCodePage("[系统设置]\r\nTixingTime=45\r\n")));
  core->settings.Load(core->settings.FilePath());
  Run([&](HWND dlg) {
    EXPECT_TRUE(Selected(dlg, "15分钟"));
    EXPECT_FALSE(Selected(dlg, "60分钟"));
    ASSERT_TRUE(headless::Click(dlg, "60分钟"));
    ASSERT_TRUE(headless::Click(dlg, "应用"));
    Pump();
    EXPECT_TRUE(IsWindow(dlg));
    EXPECT_FALSE(Enabled(dlg, "应用")) << "nothing left to apply";
    EXPECT_EQ(Stored().TixingTime, 60);
  });
}

TEST_F(SettingsDialog, TheProxyOptionEnablesItsEditsAndTypingEnablesApply) {
  Run([&](HWND dlg) {
    ASSERT_TRUE(headless::Click(dlg, "网络代理"));
    headless::TypeText(dlg, "代理地址", "x");
    EXPECT_EQ(Text(dlg, "代理地址"), "") << "a disabled edit takes no text";
    EXPECT_FALSE(Enabled(dlg, "应用"));
    ASSERT_TRUE(headless::Click(dlg, "启用代理"));
    EXPECT_TRUE(Enabled(dlg, "代理地址"));
    ASSERT_TRUE(headless::Click(dlg, "启用代理"));
    EXPECT_FALSE(Enabled(dlg, "代理地址"));
    EXPECT_FALSE(Enabled(dlg, "密码"));
  });
  core->settings.UseProxy = true;
  Run([&](HWND dlg) {
    EXPECT_FALSE(Enabled(dlg, "应用"));
    ASSERT_TRUE(headless::Click(dlg, "网络代理"));
    ASSERT_TRUE(headless::TypeText(dlg, "用户名", "u"));
    EXPECT_TRUE(Enabled(dlg, "应用"));
  });
}

TEST_F(SettingsDialog, CancelAndTheCloseButtonStoreNothing) {
  ASSERT_TRUE(core->settings.Save());
  std::string before = platform::ReadWholeFile(core->settings.FilePath()).value_or("");
  for (const char* closer : {"取消", "closebtn"}) {
    SCOPED_TRACE(closer);
    Run([&](HWND dlg) {
      ASSERT_TRUE(headless::Click(dlg, "退出时弹出确认窗口"));
      ASSERT_TRUE(headless::Click(dlg, "30分钟"));
      ASSERT_TRUE(headless::Click(dlg, closer));
    });
    EXPECT_FALSE(core->settings.ShowCloseTip);
    EXPECT_EQ(core->settings.TixingTime, 15);
    EXPECT_EQ(platform::ReadWholeFile(core->settings.FilePath()).value_or(""), before);
  }
}

TEST_F(SettingsDialog, AProxyPortThatNoProxyListensOnIsRefusedWithAMessageAndTheDialogStaysOpen) {
  EXPECT_TRUE(CSystemSetDlg::IsProxyPort(""));
  EXPECT_TRUE(CSystemSetDlg::IsProxyPort("1"));
  EXPECT_TRUE(CSystemSetDlg::IsProxyPort("65535"));
  EXPECT_FALSE(CSystemSetDlg::IsProxyPort("0"));
  EXPECT_FALSE(CSystemSetDlg::IsProxyPort("65536"));
  EXPECT_FALSE(CSystemSetDlg::IsProxyPort("99999999999"));
  EXPECT_FALSE(CSystemSetDlg::IsProxyPort("80a"));
  EXPECT_FALSE(CSystemSetDlg::IsProxyPort(" 80"));

  Run([&](HWND dlg) {
    ASSERT_TRUE(headless::Click(dlg, "网络代理"));
    ASSERT_TRUE(headless::Click(dlg, "启用代理"));
    ASSERT_TRUE(headless::TypeText(dlg, "代理地址", "proxy.lan"));
    ASSERT_TRUE(headless::TypeText(dlg, "代理端口", "99999"));
    ASSERT_TRUE(headless::Click(dlg, "常用设置"));
    ASSERT_TRUE(headless::Click(dlg, "确认"));
    Pump();
    EXPECT_TRUE(IsWindow(dlg));
    EXPECT_EQ(Page(dlg), 1) << "the port is shown to be corrected";
    const auto& boxes = headless::Desktop().MessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "系统设置");
    EXPECT_EQ(boxes[0].owner, WindowObject<CWindowWnd>(dlg)->Native());
    EXPECT_FALSE(core->settings.UseProxy);
    EXPECT_FALSE(platform::PathExists(core->settings.FilePath()));

    Retype(dlg, "代理端口", "8080");
    ASSERT_TRUE(headless::Click(dlg, "确认"));
  });
  EXPECT_TRUE(Stored().UseProxy);
  EXPECT_EQ(Stored().proxyPort, "8080");
}

TEST_F(SettingsDialog, ASaveThatFailsKeepsTheOptionsForThisSessionAndApplyOnForAnotherTry) {
  // A folder where the file should be: it can be neither read nor replaced.
  ASSERT_EQ(::mkdir(core->settings.FilePath().c_str(), 0700), 0);
  Run([&](HWND dlg) {
    ASSERT_TRUE(headless::Click(dlg, "退出时弹出确认窗口"));
    ASSERT_TRUE(headless::Click(dlg, "应用"));
    Pump();
    EXPECT_TRUE(IsWindow(dlg));
    EXPECT_TRUE(Enabled(dlg, "应用"));
    EXPECT_TRUE(headless::Desktop().MessageBoxes().empty());
  });
  EXPECT_TRUE(core->settings.ShowCloseTip);
}

}  // namespace
