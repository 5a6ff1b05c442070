// The start of Setup: while the client's window is up in another process, the question in its
// "检测软件" mode and nothing installed; otherwise the setup window.
#include "installer/setup_program.h"

#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "installer/tests/setup_rig.h"
#include "platform/desktop/window_registry.h"

using namespace installer_testing;

namespace {

// Another process with the client's main window title, until the object goes.
class RunningClient {
 public:
  explicit RunningClient(const std::string& registry) {
    int ready[2], stop[2];
    if (pipe(ready) != 0 || pipe(stop) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      close(ready[0]);
      close(stop[1]);
      platform::WindowRegistry windows(registry);
      char ok = windows.Publish("Vymera同步软件", [] {}) ? 'y' : 'n';
      (void)!write(ready[1], &ok, 1);
      // Serves until the test closes its end of the pipe, at most ten seconds.
      for (int i = 0; i < 1000; ++i) {
        windows.Serve();
        pollfd p{stop[0], POLLIN, 0};
        if (poll(&p, 1, 10) == 1) break;
      }
      _exit(0);
    }
    close(ready[1]);
    close(stop[0]);
    stop_ = stop[1];
    char ok = 0;
    ready_ = read(ready[0], &ok, 1) == 1 && ok == 'y';
    close(ready[0]);
  }
  ~RunningClient() {
    if (stop_ >= 0) close(stop_);
    if (pid_ > 0) waitpid(pid_, nullptr, 0);
  }
  bool Ready() const { return ready_; }

 private:
  pid_t pid_ = -1;
  int stop_ = -1;
  bool ready_ = false;
};

class SetupStart : public SetupTest {
 protected:
  // Opens Setup as the program does, answering a question that stands with answer.
  CSetupDlg* Start(const char* answer, Seen& seen) {
    Headless().SetIdleHandler([&]() -> bool {
      HWND question = Other();
      if (!question || seen.asked) return false;
      seen.asked = true;
      char title[64] = {};
      GetWindowTextA(question, title, sizeof title);
      seen.title = title;
      CPaintManagerUI* pm = CPaintManagerUI::FromWindow(question);
      seen.question = pm->FindControl("quitsteup")->IsVisible();
      seen.clientPicture = pm->FindControl("setupcheck")->IsVisible();
      seen.owner = toolkit::Dispatcher::Instance().Find(question)->Owner();
      EXPECT_TRUE(toolkit::headless::Click(question, answer));
      return true;
    });
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
