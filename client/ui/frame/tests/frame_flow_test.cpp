// The client's main window driven headless as a user drives it, against the reference service and
// the simulated devices: the first start, binding and weighing, unbinding and recalibrating, the
// tray, the user menu, quitting and the end of a session.
#include <gtest/gtest.h>
#include <httplib.h>

#include "client/ui/dialogs/message_box_wnd.h"
#include "client/ui/frame/tests/frame_test_support.h"
#include "platform/file_io.h"
#include "client/core/client_messages.h"
#include "toolkit/core/dispatcher.h"

namespace {

using toolkit::headless::AdvanceTime;
using toolkit::headless::Click;
using toolkit::headless::TypeText;

constexpr uint32_t kScaleDeviceId = 0x00C0FFEE;

bool QuitPending() { return toolkit::Dispatcher::Instance().QuitPending(); }

class Frame : public frame_testing::FrameTest {
 protected:
  static bool Enabled(HWND window, const char* name) {
    CControlUI* c = Control(window, name);
    return c && c->IsEnabled();
  }

  // Every self-closing message is looked at, saved once per key, and let go.
  void LetMessagesGo() {
    WhenWindowStands("MessageBoxDlg", [this](HWND box) {
      ++messages;
      AdvanceTime(CMessageBoxWnd::kCloseAfterMs);
      LetMessagesGo();
      (void)box;
    });
  }

  // Binds the attached scale to the selected user through the add-hardware dialog.
  void BindTheScale(bool shots = false) {
    PlugScale();
    bool ran = false;
    WhenWindowStands("AddHardWare", [&](HWND dialog) {
      ran = true;
      if (shots) Shot(dialog, "add-hardware-intro");
      EXPECT_TRUE(Click(dialog, "下一步"));
      if (shots) Shot(dialog, "add-hardware-list");
      EXPECT_TRUE(Click(dialog, "SelectHard1"));
      EXPECT_TRUE(Click(dialog, "下一步"));
      if (shots) Shot(dialog, "add-hardware-bound");
      EXPECT_TRUE(Click(dialog, "取消"));
    });
    LetMessagesGo();
    ASSERT_TRUE(Click(main, "添加绑定"));
    ASSERT_TRUE(ran);
    ASSERT_TRUE(Users().at(0)->Slot(DeviceKind::Scale).bound);
    AdvanceTime(CFrameWindowWnd::kDetectionMs);  // the next tick finds the scale attached
  }

  int64_t Uid(size_t index) { return std::stoll(Users().at(index)->uid); }
  int messages = 0;
};

TEST_F(Frame, AFirstStartWithoutUsersAsksForOneAndTheNewAccountTakesTheFirstSlot) {
  service.AddAccount("amy@example.com", "secret1", "艾米");
  bool asked = false;
  WhenWindowStands("AddUserDlg", [&](HWND dialog) {
    asked = true;
    EXPECT_TRUE(TypeText(dialog, "Account", "amy@example.com"));
    EXPECT_TRUE(TypeText(dialog, "Password", "secret1"));
    Shot(dialog, "add-user");
    LetMessagesGo();
    EXPECT_TRUE(Click(dialog, "添加账户"));
  });
  StartFrame();
  ASSERT_TRUE(asked);
  ASSERT_EQ(Users().size(), 1u);
  EXPECT_EQ(messages, 1);
  EXPECT_TRUE(Shown(main, "User1"));
  EXPECT_FALSE(Shown(main, "User2"));
  EXPECT_EQ(Text(main, "User1_Name"), "艾米");
  EXPECT_EQ(Text(main, "User1_State"), "已登录");
  EXPECT_NE(Control(main, "User1_Menu"), nullptr);
  EXPECT_TRUE(Shown(main, "AddUser"));
  EXPECT_EQ(frame->Panel()->Selected(), 1);
  EXPECT_EQ(StoredUsers().size(), 1u);
  EXPECT_EQ(Text(main, "连接服务器状态"), "已成功连接至Vymera服务器");
  EXPECT_EQ(Text(main, "软件版本").rfind("版本：", 0), 0u);
  Shot(main, "main-window-first-user");
}

TEST_F(Frame, AReadingOfABoundScaleReachesTheServiceAndTheProgressDialogEndsWithItsSummary) {
  SeedUser("amy@example.com", "secret1");
  StartFrame();
  ASSERT_EQ(Users().size(), 1u);
  ASSERT_TRUE(Users()[0]->loggedIn) << "automatic login at start";
  BindTheScale(true);
  EXPECT_TRUE(Shown(main, "绑定硬件1"));
  EXPECT_EQ(Text(main, "硬件1名称"), "网络健康秤");
  EXPECT_EQ(Text(main, "硬件状态1内容"), "网络健康秤已经连接");

  // The user steps on the scale at the reference weight a new account starts with.
  scale->SendLive(kScaleDeviceId, 50.4f);
  ASSERT_TRUE(PumpUntil([&] { return frame->Core().pending.Size() == 1; }));
  AdvanceTime(CFrameWindowWnd::kSyncMs);
  HWND progress = WindowNamed("UploadProcess");
  ASSERT_NE(progress, nullptr);
  Pump();
  EXPECT_EQ(Text(progress, "uploadprogresstext"), "100%  正在同步... 请稍后");
  EXPECT_TRUE(Shown(progress, "resultsuccess"));
  EXPECT_EQ(Text(progress, "successtotal"), "1条");
  Shot(progress, "upload-progress-summary");
  auto rows = service.Data().uploads.WeightsOf(Uid(0));
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].weightTenths, 504);
  EXPECT_EQ(rows[0].scalecode, std::string("W1") + client_testing::kScaleSerial);
  EXPECT_FLOAT_EQ(Users()[0]->standardweight, 50.4f);
  Shot(main, "main-window-scale-bound");

  // "登录我的Vymera" opens the member's home page, which shows the reading.
  ASSERT_TRUE(Click(main, "登录我的Vymera"));
  ASSERT_FALSE(OpenedPages().empty());
  std::string page = OpenedPages().back();
  ASSERT_EQ(page.rfind(client_testing::kMemberSite, 0), 0u);
  httplib::Client site("127.0.0.1", std::stoi(service.Endpoint().substr(17)));
  auto login = site.Get(("/" + page.substr(std::string(client_testing::kMemberSite).size())).c_str());
  ASSERT_TRUE(login);
  ASSERT_EQ(login->status, 302);
  std::string cookie = login->get_header_value("Set-Cookie");
  auto home = site.Get("/home", {{"Cookie", cookie.substr(0, cookie.find(';'))}});
  ASSERT_TRUE(home);
  EXPECT_NE(home->body.find("50.4 kg"), std::string::npos);
}

TEST_F(Frame, RecalibratingTakesTheNextWeighingAndUnbindingFreesTheScale) {
  SeedUser("amy@example.com", "secret1");
  StartFrame();
  BindTheScale();
  ASSERT_TRUE(Click(main, "硬件1已选择"));
  ASSERT_TRUE(Enabled(main, "硬件设置"));
  ASSERT_TRUE(Enabled(main, "解除绑定"));
  WhenWindowStands("HardWareSet", [&](HWND dialog) {
    EXPECT_TRUE(Click(dialog, "recalibration"));
    Shot(dialog, "scale-settings-recalibration");
    scale->SendLive(kScaleDeviceId, 63.7f);
    EXPECT_TRUE(PumpUntil([&] { return Text(dialog, "userweight") == "63.7kg"; }));
    EXPECT_TRUE(Click(dialog, "确定"));
  });
  ASSERT_TRUE(Click(main, "硬件设置"));
  EXPECT_EQ(WindowNamed("HardWareSet"), nullptr);
  EXPECT_FLOAT_EQ(Users()[0]->standardweight, 63.7f);
  EXPECT_FLOAT_EQ(StoredUsers().at(0)->standardweight, 63.7f);

  ASSERT_TRUE(Click(main, "硬件1已选择"));
  WhenWindowStands("QuitQuestion", [&](HWND question) {
    EXPECT_TRUE(Shown(question, "unpinless"));
    Shot(question, "question-unbind");
    EXPECT_TRUE(Click(question, "确认"));
  });
  LetMessagesGo();
  ASSERT_TRUE(Click(main, "解除绑定"));
  EXPECT_FALSE(Users()[0]->Slot(DeviceKind::Scale).bound);
  EXPECT_FALSE(StoredUsers().at(0)->Slot(DeviceKind::Scale).bound);
  EXPECT_TRUE(service.Data().devices.BindingsOf(Uid(0)).empty());
  EXPECT_TRUE(Shown(main, "NoHardwarePinlessed"));
  EXPECT_FALSE(Enabled(main, "解除绑定"));
}

TEST_F(Frame, ALoggedOutUserWithoutAutomaticLoginIsAskedToLogInWhenChosen) {
  SeedUser("amy@example.com", "secret1");
  SeedUser("bob@example.com", "secret2", false);
  StartFrame();
  ASSERT_EQ(Users().size(), 2u);
  EXPECT_EQ(Text(main, "User2_State"), "未登录");
  bool asked = false;
  WhenWindowStands("UserLogin", [&](HWND dialog) {
    asked = true;
    EXPECT_EQ(Text(dialog, "Account"), "bob@example.com");
    Shot(dialog, "login");
    LetMessagesGo();
    EXPECT_TRUE(Click(dialog, "登录"));
  });
  ASSERT_TRUE(Click(main, "User2Btn"));
  EXPECT_TRUE(asked);
  EXPECT_EQ(Text(main, "User2_State"), "已登录");
  EXPECT_EQ(frame->Panel()->Selected(), 2);
  // Chosen again, a logged-in user is not asked.
  ASSERT_TRUE(Click(main, "User1Btn"));
  ASSERT_TRUE(Click(main, "User2Btn"));
  EXPECT_EQ(WindowNamed("UserLogin"), nullptr);
}

TEST_F(Frame, TheUserMenuLogsOutAndClearsAccountsAfterAsking) {
  SeedUser("amy@example.com", "secret1");
  SeedUser("bob@example.com", "secret2");
  StartFrame();
  ASSERT_EQ(Users().size(), 2u);
  WhenWindowStands("clearQuestion", [](HWND question) {
    EXPECT_TRUE(Shown(question, "logout"));
    EXPECT_TRUE(Click(question, "确认"));
  });
  PostMessage(main, client_messages::kMsgUserMenuChoice, 2, 1);
  Pump();
  EXPECT_FALSE(Users()[1]->loggedIn);
  EXPECT_FALSE(Users()[1]->autologin);
  EXPECT_EQ(Text(main, "User2_State"), "未登录");

  WhenWindowStands("clearQuestion", [](HWND question) {
    EXPECT_TRUE(Shown(question, "clearaccount"));
    EXPECT_TRUE(Click(question, "确认"));
  });
  PostMessage(main, client_messages::kMsgUserMenuChoice, 3, 0);
  Pump();
  ASSERT_EQ(Users().size(), 1u);
  EXPECT_EQ(Users()[0]->account, "bob@example.com");
  EXPECT_FALSE(Shown(main, "User2"));
  EXPECT_EQ(frame->Panel()->Selected(), 1);
  ASSERT_EQ(StoredUsers().size(), 1u);
  EXPECT_EQ(StoredUsers()[0]->account, "bob@example.com");
}

TEST_F(Frame, QuitAsksWhenTheSettingsWantItAndLeavesAccountsClearedAtExitOutOfTheFile) {
  SeedUser("amy@example.com", "secret1");
  SeedUser("bob@example.com", "secret2", true, true);
  StartFrame();
  frame->Core().settings.ShowCloseTip = true;
  WhenWindowStands("QuitQuestion", [](HWND question) {
    EXPECT_TRUE(Shown(question, "quitsoft"));
    Shot(question, "question-quit");
    EXPECT_TRUE(Click(question, "取消"));
  });
  PostMessage(main, WM_COMMAND, client_messages::kCmdQuit, 0);
  Pump();
  EXPECT_FALSE(QuitPending());
  EXPECT_EQ(StoredUsers().size(), 2u);

  WhenWindowStands("QuitQuestion", [](HWND question) { EXPECT_TRUE(Click(question, "确认")); });
  PostMessage(main, WM_COMMAND, client_messages::kCmdQuit, 0);
  Pump();
  EXPECT_TRUE(QuitPending());
  ASSERT_EQ(StoredUsers().size(), 1u);
  EXPECT_EQ(StoredUsers()[0]->account, "amy@example.com");
  const auto& icons = toolkit::headless::Desktop().TrayIcons();
  ASSERT_FALSE(icons.empty());
  EXPECT_TRUE(icons.back().removed);
}

TEST_F(Frame, WithoutTheQuestionQuitFromTheDropDownEndsAtOnce) {
  SeedUser("amy@example.com", "secret1", true, true);
  StartFrame();
  ASSERT_FALSE(frame->Core().settings.ShowCloseTip);
  PostMessage(main, client_messages::kMsgSystemMenuChoice, 3, 0);
  Pump();
  EXPECT_TRUE(QuitPending());
  EXPECT_EQ(WindowNamed("QuitQuestion"), nullptr);
  EXPECT_TRUE(StoredUsers().empty());
}

TEST_F(Frame, AnEndOfSessionDuringAPassLetsItsItemEndThenStoresTheUsersAndQuits) {
  SeedUser("amy@example.com", "secret1", true, true);
  StartFrame();
  BindTheScale();
  UserRecord& amy = *Users()[0];
  // Two readings the scale gave while the client was busy.
  frame->Core().pending.Add({50.2f, "2024-5-20", false, false, "2024-5-20-08-00-00"});
  frame->Core().pending.Add({50.3f, "2024-5-21", false, false, "2024-5-21-08-00-00"});
  bool ended = false;
  // The first wait between two uploads is where the request comes.
  toolkit_testing::Headless().SetIdleHandler([&]() -> bool {
    if (ended || !frame->Core().engine.Running()) return false;
    ended = true;
    frame->EndSession();
    return true;
  });
  AdvanceTime(CFrameWindowWnd::kSyncMs);
  toolkit_testing::Headless().SetIdleHandler(nullptr);
  EXPECT_TRUE(ended);
  EXPECT_TRUE(QuitPending());
  EXPECT_EQ(service.Data().uploads.WeightsOf(Uid(0)).size(), 1u);
  // The session's end asks nothing and keeps what the pass did not send: the account stays
  // flagged for clearing, and so leaves the file.
  EXPECT_EQ(WindowNamed("QuitQuestion"), nullptr);
  EXPECT_TRUE(StoredUsers().empty());
  ASSERT_EQ(amy.datalist.size(), 2u);
  EXPECT_NE(amy.datalist[0].uploaded, amy.datalist[1].uploaded);
}

TEST_F(Frame, TheTrayIconShowsTheHiddenWindowAndItsRightButtonOpensAndClosesTheDropDown) {
  SeedUser("amy@example.com", "secret1");
  StartFrame();
  ASSERT_TRUE(Click(main, "closebtn"));
  EXPECT_FALSE(IsWindowVisible(main));
  ASSERT_TRUE(toolkit::headless::Desktop().DoubleClickTrayIcon());
  EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(main); }));

  ASSERT_TRUE(toolkit::headless::Desktop().RightClickTrayIcon());
  Pump();
  HWND dropDown = WindowNamed("SystemDlg");
  ASSERT_NE(dropDown, nullptr);
  Shot(dropDown, "system-drop-down");
  // A second right press closes it.
  PostMessage(main, client_messages::kMsgTrayCallback, CSystemTray::kIconId, WM_RBUTTONDOWN);
  EXPECT_TRUE(PumpUntil([&] { return !IsWindow(dropDown); }));
}

TEST_F(Frame, ThePointerOverTheReminderEntryOpensTheListOnce) {
  SeedUser("amy@example.com", "secret1");
  StartFrame();
  ASSERT_TRUE(toolkit::headless::Hover(main, "用户提醒"));
  HWND list = WindowNamed("TixingDlg");
  ASSERT_NE(list, nullptr);
  Shot(list, "reminder-list");
  ASSERT_TRUE(toolkit::headless::Hover(main, "已绑定硬件"));
  ASSERT_TRUE(toolkit::headless::Hover(main, "用户提醒"));
  int lists = 0;
  for (HWND h : toolkit::AllWindows()) lists += h == WindowNamed("TixingDlg") ? 1 : 0;
  EXPECT_EQ(lists, 1);
}

TEST_F(Frame, AReadingThatFitsNoUserIsShownKeptAndUploadedOnceGivenToAUser) {
  SeedUser("amy@example.com", "secret1");
  StartFrame();
  BindTheScale();
  EXPECT_FALSE(Shown(main, "未分配读数"));
  // Far from the reference weight a new account starts with.
  scale->SendLive(kScaleDeviceId, 68.4f);
  ASSERT_TRUE(PumpUntil([&] { return frame->Core().pending.Size() == 1; }));
  AdvanceTime(CFrameWindowWnd::kSyncMs);
  EXPECT_TRUE(service.Data().uploads.WeightsOf(Uid(0)).empty());
  ASSERT_TRUE(Shown(main, "未分配读数"));
  EXPECT_EQ(Text(main, "未分配读数"), "有1条称重读数未分配给用户，点击查看");
  Shot(main, "main-window-unassigned-reading");
  {
    // In the file beside the user file: a client started again finds it.
    PendingWeights pending;
    HeldWeights again(pending, folder.File(HeldWeights::kFileName));
    again.Load({});
    ASSERT_EQ(again.Unassigned().size(), 1u);
  }

  bool listed = false;
  WhenWindowStands("UnassignedDlg", [&](HWND dialog) {
    listed = true;
    EXPECT_TRUE(Shown(dialog, "读数1"));
    EXPECT_FALSE(Shown(dialog, "读数2"));
    EXPECT_EQ(Text(dialog, "读数1体重"), "68.4 kg");
    EXPECT_EQ(Text(dialog, "读数1日期").size(), 10u);
    EXPECT_EQ(Text(dialog, "读数1时间").size(), 8u);
    EXPECT_EQ(Text(dialog, "分配用户1"), Users()[0]->uname);
    EXPECT_FALSE(Shown(dialog, "分配用户2"));
    EXPECT_FALSE(Enabled(dialog, "分配")) << "nothing chosen yet";
    EXPECT_TRUE(Click(dialog, "读数1已选择"));
    EXPECT_TRUE(Click(dialog, "分配用户1"));
    EXPECT_TRUE(Enabled(dialog, "分配"));
    Shot(dialog, "unassigned-readings");
    EXPECT_TRUE(Click(dialog, "分配"));
    EXPECT_FALSE(Shown(dialog, "读数1"));
    EXPECT_TRUE(Click(dialog, "关闭"));
  });
  ASSERT_TRUE(Click(main, "未分配读数"));
  ASSERT_TRUE(listed);
  EXPECT_FALSE(Shown(main, "未分配读数"));
  ASSERT_EQ(StoredUsers().at(0)->datalist.size(), 1u) << "the user file holds it before any upload";

  // The next pass sends it without a new reading, and it becomes the reference weight.
  AdvanceTime(CFrameWindowWnd::kSyncMs);
  auto rows = service.Data().uploads.WeightsOf(Uid(0));
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].weightTenths, 684);
  EXPECT_FLOAT_EQ(Users()[0]->standardweight, 68.4f);
}

TEST_F(Frame, AnUnassignedReadingIsDiscardedOnlyAfterTheQuestion) {
  SeedUser("amy@example.com", "secret1");
  StartFrame();
  frame->Core().held.AddUnassigned({90.0f, "2024-05-20", false, false, "2024-05-20-08-00-00"});
  frame->Core().held.AddUnassigned({91.0f, "2024-05-21", false, false, "2024-05-21-07-30-05"});
  ASSERT_TRUE(frame->Core().held.Save());
  AdvanceTime(CFrameWindowWnd::kSyncMs);
  ASSERT_TRUE(Shown(main, "未分配读数"));

  int questions = 0;
  std::function<void(HWND)> answer = [&](HWND question) {
    ++questions;
    EXPECT_TRUE(Shown(question, "discardreading"));
    EXPECT_TRUE(Click(question, questions == 1 ? "取消" : "确认"));
  };
  WhenWindowStands("UnassignedDlg", [&](HWND dialog) {
    // Newest first, its time from the exact time.
    EXPECT_EQ(Text(dialog, "读数1时间"), "07:30:05");
    EXPECT_EQ(Text(dialog, "读数1日期"), "2024-05-21");
    EXPECT_FALSE(Enabled(dialog, "分配")) << "no user of the list has a scale";
    EXPECT_TRUE(Shown(dialog, "无可分配用户"));
    EXPECT_TRUE(Click(dialog, "读数1已选择"));
    WhenWindowStands("QuitQuestion", answer);
    EXPECT_TRUE(Click(dialog, "丢弃"));
    EXPECT_TRUE(Shown(dialog, "读数2")) << "kept when the question is cancelled";
    EXPECT_TRUE(Click(dialog, "读数1已选择"));
    WhenWindowStands("QuitQuestion", answer);
    EXPECT_TRUE(Click(dialog, "丢弃"));
    EXPECT_FALSE(Shown(dialog, "读数2"));
    EXPECT_EQ(Text(dialog, "读数1体重"), "90.0 kg");
    EXPECT_TRUE(Click(dialog, "closebtn"));
  });
  ASSERT_TRUE(Click(main, "未分配读数"));
  EXPECT_EQ(questions, 2);
  EXPECT_EQ(Text(main, "未分配读数"), "有1条称重读数未分配给用户，点击查看");
  PendingWeights pending;
  HeldWeights again(pending, folder.File(HeldWeights::kFileName));
  again.Load({});
  ASSERT_EQ(again.Unassigned().size(), 1u);
  EXPECT_FLOAT_EQ(again.Unassigned()[0].weight, 90.0f);
}

TEST_F(Frame, ADamagedUserFileKeepsItsReadableAccountsAndTheUserIsToldWhereTheCopyIs) {
  SeedUser("amy@example.com", "secret1");
  SeedUser("bob@example.com", "secret2");
  std::string path = folder.File(UserStore::kFileName);
  std::string whole = *platform::ReadWholeFile(path);
  // Cut inside the second account.
  size_t second = whole.find("<user_res>", whole.find("</user_res>"));
  ASSERT_TRUE(platform::WriteFileAtomically(path, whole.substr(0, second + 20)));
  std::string told;
  WhenWindowStands("MessageBoxDlg", [&](HWND box) {
    told = Text(box, "msglongtext");
    Shot(box, "damaged-user-file-notice");
    AdvanceTime(CMessageBoxWnd::StandsForMs(told));
  });
  StartFrame();
  ASSERT_EQ(Users().size(), 1u);
  EXPECT_EQ(Users()[0]->account, "amy@example.com");
  EXPECT_NE(told.find(path + ".damaged-1"), std::string::npos) << told;
  EXPECT_EQ(platform::ReadWholeFile(path + ".damaged-1"), whole.substr(0, second + 20));
  EXPECT_EQ(StoredUsers().size(), 1u);
}

TEST_F(Frame, AClientStartedWhileTheServiceIsDownConnectsAndLogsInWhenItComesBack) {
  SeedUser("amy@example.com", "secret1");
  service.Stop();
  StartFrame();
  EXPECT_EQ(Text(main, "连接服务器状态"), "未成功连接至Vymera服务器");
  ASSERT_FALSE(Users()[0]->loggedIn);
  // The start asked twice; the next probe waits out its back-off, 30 s after the second failure.
  AdvanceTime(CFrameWindowWnd::kSyncMs);
  EXPECT_EQ(Text(main, "连接服务器状态"), "未成功连接至Vymera服务器");
  ASSERT_TRUE(service.Restart());
  for (int i = 0; i < 4; ++i) AdvanceTime(CFrameWindowWnd::kSyncMs);
  EXPECT_EQ(Text(main, "连接服务器状态"), "未成功连接至Vymera服务器") << "not before the back-off";
  AdvanceTime(CFrameWindowWnd::kSyncMs);
  EXPECT_EQ(Text(main, "连接服务器状态"), "已成功连接至Vymera服务器");
  EXPECT_TRUE(Users()[0]->loggedIn) << "automatic login once the service answers";
  EXPECT_EQ(Text(main, "User1_State"), "已登录");
}

TEST_F(Frame, WithoutABrowserTheMemberSiteButtonGivesTheAddress) {
  SeedUser("amy@example.com", "secret1");
  StartFrame();
  toolkit::headless::Desktop().SetNoBrowser(true);
  ASSERT_TRUE(Click(main, "登录我的Vymera"));
  toolkit::headless::Desktop().SetNoBrowser(false);
  const auto& boxes = toolkit::headless::Desktop().MessageBoxes();
  ASSERT_FALSE(boxes.empty());
  EXPECT_NE(boxes.back().text.find("softlogin.php"), std::string::npos);
}

}  // namespace
