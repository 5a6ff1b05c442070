#pragma once
// What the hardware dialog tests share: the client rig, the messages the dialogs showed (by the
// picture that says them, or the plain text of a key without one), and a look at a tab layout.

#include <string>
#include <vector>

#include "client/ui/dialogs/message_box_wnd.h"
#include "client/ui/testing/client_rig.h"
#include "toolkit/testing/headless.h"
#include "toolkit/testing/recording_window.h"

namespace hardware_testing {

class HardwareTest : public client_testing::ClientTest {
 protected:
  // From now on every message dialog is noted in shownMessages and closed as its time runs out.
  void NoteMessages() {
    WhenWindowStands("MessageBoxDlg", [this](HWND box) {
      std::string picture = BkImage(box, "msginfo");
      shownMessages.push_back(picture.empty() ? "text:" + Text(box, "msgtext") : picture);
      toolkit::headless::AdvanceTime(CMessageBoxWnd::kCloseAfterMs);
      NoteMessages();
    });
  }

  // Runs action from inside a sync pass, while it pumps messages: user's pedometer is bound and
  // attached with a day to upload, so the pass has something to do.
  void DuringAPass(UserRecord& user, const std::function<void()>& action) {
    user.Slot(DeviceKind::Pedometer) = {CHIDClass::IdText(client_testing::kPedometerId), "", false, true, false};
    PlugPedometer();
    pedometer->AddDay(2024, 5, 19);
    core->engine.DetectionTick();
    ASSERT_TRUE(user.Slot(DeviceKind::Pedometer).connected);
    toolkit_testing::RecordingWnd window;
    ASSERT_TRUE(window.Create(nullptr, "pass", 0, 0));
    constexpr UINT kRun = WM_APP + 99;
    bool ran = false;
    window.onMessage = [&](UINT msg, WPARAM, LPARAM, bool& handled) -> LRESULT {
      if (msg != kRun) return 0;
      handled = true;
      ran = true;
      EXPECT_TRUE(core->engine.Running());
      action();
      return 0;
    };
    window.PostMessage(kRun, 0, 0);
    core->engine.SyncPass();
    EXPECT_TRUE(ran);
    DestroyWindow(window);
  }
  // The system message boxes shown so far with caption.
  static std::vector<std::string> BoxesCaptioned(std::string_view caption) {
    std::vector<std::string> texts;
    for (const auto& box : toolkit::headless::Desktop().MessageBoxes()) {
      if (box.caption == caption) texts.push_back(box.text);
    }
    return texts;
  }

  static int Page(HWND window) {
    auto* pages = dynamic_cast<CTabLayoutUI*>(Control(window, "switch"));
    return pages ? pages->GetCurSel() : -1;
  }
  static bool Enabled(HWND window, std::string_view name) {
    CControlUI* c = Control(window, name);
    return c && c->IsEnabled();
  }
  static bool Selected(HWND window, std::string_view name) {
    auto* option = dynamic_cast<COptionUI*>(Control(window, name));
    return option && option->IsSelected();
  }

  std::vector<std::string> shownMessages;
};

}  // namespace hardware_testing
