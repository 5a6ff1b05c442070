// The client's message and question dialogs, driven headless over an owner window.
#include <gtest/gtest.h>

#include "client/ui/dialogs/message_box_wnd.h"
#include "client/ui/dialogs/quit_question_dlg.h"
#include "client/ui/testing/client_rig.h"
#include "toolkit/testing/headless.h"

namespace {

using client_testing::ClientTest;

class MessageAndQuestion : public ClientTest {};

TEST_F(MessageAndQuestion, AMessageShowsTheKeysPictureAndClosesItselfAfterOneAndAHalfSeconds) {
  bool sawIt = false;
  WhenWindowStands("MessageBoxDlg", [&](HWND box) {
    sawIt = true;
    EXPECT_EQ(BkImage(box, "msginfo"), "pinlessfail_up4person.png");
    EXPECT_FALSE(Shown(box, "msgtext"));
    toolkit::headless::AdvanceTime(1499);
    EXPECT_TRUE(IsWindow(box));
    toolkit::headless::AdvanceTime(1);
  });
  ShowClientMessage(nullptr, "42");
  EXPECT_TRUE(sawIt);
  EXPECT_EQ(WindowNamed("MessageBoxDlg"), nullptr);
}

TEST_F(MessageAndQuestion, AKeyWithoutAPictureIsShownAsPlainText) {
  std::string shown;
  WhenWindowStands("MessageBoxDlg", [&](HWND box) {
    shown = Text(box, "msgtext");
    EXPECT_TRUE(Shown(box, "msgtext"));
    EXPECT_EQ(BkImage(box, "msginfo"), "");
    toolkit::headless::AdvanceTime(1500);
  });
  ShowClientMessage(nullptr, "{c #FF0000}77{/c}");
  EXPECT_EQ(shown, "{c #FF0000}77{/c}");
  EXPECT_EQ(CMessageBoxWnd::PictureOf("网络错误").image, "messagebox_badnetwork.png");
  EXPECT_EQ(CMessageBoxWnd::PictureOf("应用成功").control, "textimage");
}

TEST_F(MessageAndQuestion, OnlyConfirmAnswersYesAndEachModeShowsItsQuestion) {
  struct Case {
    const char* mode;
    const char* shown;
    const char* title;
    const char* windowName;
    const char* click;
    bool confirmed;
  };
  const Case cases[] = {
      {"退出程序", "quitsoft", "quitquestion_title.png", "QuitQuestion", "确认", true},
      {"清除账号", "clearaccount", "clearaccount_title.png", "clearQuestion", "取消", false},
      {"退出登录", "logout", "logouttitle.png", "clearQuestion", "closebtn", false},
      {"解除绑定", "unpinless", "unpinlesstitle.png", "QuitQuestion", "确认", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    WhenWindowStands(c.windowName, [&](HWND question) {
      for (const char* text : {"quitsoft", "clearaccount", "logout", "unpinless"}) {
        EXPECT_EQ(Shown(question, text), std::string(text) == c.shown) << text;
      }
      EXPECT_EQ(BkImage(question, "title"), c.title);
      EXPECT_TRUE(toolkit::headless::Click(question, c.click));
    });
    EXPECT_EQ(AskQuestion(nullptr, c.mode), c.confirmed);
  }
}

TEST_F(MessageAndQuestion, AnUnknownModeShowsNoQuestionAndClosingTheWindowAnswersNo) {
  WhenWindowStands("QuitQuestion", [&](HWND question) {
    for (const char* text : {"quitsoft", "clearaccount", "logout", "unpinless"}) EXPECT_FALSE(Shown(question, text));
    EXPECT_EQ(BkImage(question, "title"), "question_title.png");
    PostMessage(question, WM_CLOSE, 0, 0);
  });
  EXPECT_FALSE(AskQuestion(nullptr, "别的"));
}

}  // namespace
