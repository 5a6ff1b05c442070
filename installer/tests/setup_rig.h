#pragma once
// The setup window driven headless in a temporary home, with a volume answer and a loader answer
// of the test's choosing, until it ends.

#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "installer/setup_dlg.h"
#include "installer/tests/fake_free_space.h"
#include "installer/tests/fake_library_probe.h"
#include "installer/tests/install_rig.h"
#include "toolkit/testing/headless.h"
#include "toolkit/testing/headless_fixture.h"

namespace installer_testing {

using toolkit_testing::Headless;

class SetupTest : public toolkit_testing::HeadlessTest {
 protected:
  void SetUp() override {
    HeadlessTest::SetUp();
    toolkit::headless::Desktop().Reset();
    CPaintManagerUI::SetResourceZip(VYMERA_INSTALLER_SKINS);
  }
  void TearDown() override {
    Close();
    HeadlessTest::TearDown();
  }

  CSetupDlg::Setup MakeSetup() {
    CSetupDlg::Setup setup;
    setup.folder = home_.ProgramFolder();
    setup.places = home_.Places();
    setup.freeSpace = volume_;
    setup.libraries = libraries_;
    setup.end = [this] { ++ends_; };
    return setup;
  }
  CSetupDlg* Open() {
    window_ = toolkit::OpenWindow<CSetupDlg>(nullptr, CSetupDlg::kWindowName, UI_WNDSTYLE_FRAME, 0,
                                             RECT{0, 0, 850, 600}, MakeSetup());
    hwnd_ = window_ ? window_->GetHWND() : nullptr;
    return window_;
  }
  // Destroying the window waits for an install thread still running.
  void Close() {
    if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
    hwnd_ = nullptr;
    window_ = nullptr;
  }

  // An installation runs longer than the other waits.
  bool PumpUntil(const std::function<bool()>& done) { return HeadlessTest::PumpUntil(done, std::chrono::seconds(10)); }

  CControlUI* Control(const char* name) const { return window_->Manager().FindControl(name); }
  std::string Text(const char* name) const { return Control(name)->GetText().str(); }
  bool Shown(const char* name) const { return Control(name)->IsVisible(); }
  bool Selected(const char* name) const { return dynamic_cast<COptionUI*>(Control(name))->IsSelected(); }
  int Page() const { return dynamic_cast<CTabLayoutUI*>(Control("switch"))->GetCurSel(); }
  bool Click(const char* name) { return toolkit::headless::Click(hwnd_, name); }

  // Goes through the folder page and waits for the install thread's end.
  void InstallToTheEnd() {
    ASSERT_TRUE(Click("下一步"));
    ASSERT_TRUE(Click("安装"));
    ASSERT_TRUE(PumpUntil([this] { return window_->Finished() && !window_->Job()->Running(); }));
  }

  // The window standing beside the setup window (a question), or null.
  HWND Other() const {
    for (HWND h : toolkit::AllWindows()) {
      if (h != hwnd_) return h;
    }
    return nullptr;
  }
  // Clicks control of the window, then clicks answer in the question once it stands; what the
  // question showed is kept.
  struct Seen {
    bool asked = false;
    std::string title;
    bool question = false;
    bool clientPicture = false;
    HWND owner = nullptr;
  };
  Seen ClickAndAnswer(HWND window, const char* control, const char* answer) {
    Seen seen;
    AnswerWhenAsked(answer, seen);
    EXPECT_TRUE(toolkit::headless::Click(window, control));
    Headless().SetIdleHandler(nullptr);
    return seen;
  }
  // From now on, the first question that stands is noted in seen and answered with answer.
  void AnswerWhenAsked(const char* answer, Seen& seen) {
    Headless().SetIdleHandler([this, answer, &seen]() -> bool {
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
  }

  TempHome home_;
  std::shared_ptr<FakeFreeSpace> volume_ = std::make_shared<FakeFreeSpace>();
  std::shared_ptr<FakeLibraryProbe> libraries_ = std::make_shared<FakeLibraryProbe>();
  CSetupDlg* window_ = nullptr;
  HWND hwnd_ = nullptr;
  int ends_ = 0;
};

}  // namespace installer_testing
