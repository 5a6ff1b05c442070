// The start of Setup: while the client's window is up in another process, the question in its
// "检测软件" mode and nothing installed; otherwise the setup window.
#include "installer/setup_program.h"

#include <gtest/gtest.h>

#include "installer/tests/setup_rig.h"
#include "platform/desktop/tests/running_window.h"

using namespace installer_testing;

namespace {

// The client's main window, up in another process until the object goes.
class RunningClient : public testing_support::RunningWindow {
 public:
  explicit RunningClient(const std::string& registry) : RunningWindow(registry, "Vymera同步软件") {}
};

class SetupStart : public SetupTest {
 protected:
  // Opens Setup as the program does, answering a question that stands with answer.
  CSetupDlg* Start(const char* answer, Seen& seen) {
    AnswerWhenAsked(answer, seen);
    window_ = OpenSetup(MakeSetup(), home_.Registry());
    Headless().SetIdleHandler(nullptr);
    hwnd_ = window_ ? window_->GetHWND() : nullptr;
    return window_;
  }
};

TEST_F(SetupStart, WithoutTheClientTheSetupWindowOpens) {
  Seen seen;
  ASSERT_TRUE(Start("确认", seen));
  EXPECT_FALSE(seen.asked);
  char title[64] = {};
  GetWindowTextA(hwnd_, title, sizeof title);
  EXPECT_STREQ(title, "安装程序");
  EXPECT_TRUE(IsWindowVisible(hwnd_));
  RECT client{};
  GetClientRect(hwnd_, &client);
  EXPECT_EQ(client.right - client.left, 550);
  EXPECT_EQ(client.bottom - client.top, 400);
}

TEST_F(SetupStart, TheRunningClientGetsTheQuestionAndNothingIsInstalled) {
  RunningClient client(home_.Registry());
  ASSERT_TRUE(client.Ready());
  for (const char* answer : {"确认", "取消", "closebtn"}) {
    Seen seen;
    EXPECT_EQ(Start(answer, seen), nullptr) << answer;
    EXPECT_TRUE(seen.asked);
    EXPECT_EQ(seen.title, "QuitQuestion");
    EXPECT_FALSE(seen.question);
    EXPECT_TRUE(seen.clientPicture);
    EXPECT_EQ(seen.owner, nullptr);
    EXPECT_TRUE(toolkit::AllWindows().empty());
  }
  EXPECT_FALSE(platform::PathExists(home_.ProgramFolder()));
  EXPECT_EQ(ends_, 0);
}

}  // namespace
