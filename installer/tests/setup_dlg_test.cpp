// The setup window: its start-up, the free-space line as the folder is typed or picked, the pages
// and buttons through an installation, the progress texts, finishing and quitting.
#include "installer/setup_dlg.h"

#include <filesystem>
#include <set>

#include <gtest/gtest.h>

#include "installer/tests/setup_rig.h"
#include "platform/autostart.h"
#include "installer/installer_messages.h"

using namespace installer_testing;

namespace {

class SetupWindow : public SetupTest {
 protected:
  void SetUp() override {
    SetupTest::SetUp();
    ASSERT_TRUE(Open());
  }
  std::string P(const std::string& name) const { return platform::JoinPath(home_.ProgramFolder(), name); }
  // Clears the folder field (as selecting all and deleting would) and types text into it one
  // keystroke at a time, giving each line the free-space line showed.
  std::vector<std::string> Type(const std::string& text) {
    Control("setupdictory")->SetText("");
    std::vector<std::string> lines;
    for (char c : text) {
      toolkit::headless::TypeText(hwnd_, "setupdictory", CStdString(std::string(1, c)));
      lines.push_back(Text("diskinfo"));
    }
    return lines;
  }
};

TEST_F(SetupWindow, StartsOnTheWelcomePageWithTheUsersFolderAndAutostartOff) {
  RECT client{};
  GetClientRect(hwnd_, &client);
  EXPECT_EQ(client.right, 550);
  EXPECT_EQ(client.bottom, 400);
  EXPECT_EQ(Page(), 0);
  EXPECT_EQ(Text("setupdictory"), home_.File(".local/share/Vymera"));
  EXPECT_EQ(Text("diskinfo"), kFortyGigabytes);
  EXPECT_EQ(volume_->asked.back(), home_.home());  // the folder is not there yet
  EXPECT_FALSE(Selected("pcautoruun"));
  EXPECT_TRUE(Selected("nowautoruun"));
  EXPECT_TRUE(Selected("SelectDesktopIcon"));
  // Options this desktop has no way to carry out are not offered.
  EXPECT_FALSE(Shown("SelectQuickStart"));
  EXPECT_FALSE(Shown("sethomepage"));
  for (const char* hidden : {"上一步", "安装", "完成"}) EXPECT_FALSE(Shown(hidden)) << hidden;
  for (const char* shown : {"下一步", "取消", "MinBtn", "closebtn"}) EXPECT_TRUE(Shown(shown)) << shown;
  EXPECT_EQ(Control("setupdictory")->GetToolTip().str(), "请选择安装目录");
}

TEST_F(SetupWindow, FreeSpaceFollowsEveryKeystroke) {
  for (const std::string& line : Type("D:\\Vymera")) EXPECT_EQ(line, kNoFreeSpace);
  for (const std::string& line : Type("/opt/Vymera")) EXPECT_EQ(line, kFortyGigabytes);
  // The typed folder's nearest existing parent is the volume asked.
  Type(home_.File("new/Vymera"));
  EXPECT_EQ(volume_->asked.back(), home_.home());
  volume_->Set(home_.home(), std::nullopt);
  Type(home_.File("x"));
  EXPECT_EQ(Text("diskinfo"), kNoFreeSpace);
}

TEST_F(SetupWindow, ThePickedFolderReplacesTheTextAndIsMeasured) {
  ASSERT_TRUE(Click("下一步"));
  toolkit::headless::Desktop().QueueFolderAnswer(home_.Desktop());
  ASSERT_TRUE(Click("browsebtn"));
  EXPECT_EQ(Text("setupdictory"), home_.Desktop());
  EXPECT_EQ(volume_->asked.back(), home_.Desktop());
  const auto& pickers = toolkit::headless::Desktop().FolderPickers();
  ASSERT_EQ(pickers.size(), 1u);
  EXPECT_EQ(pickers[0].title, "浏览文件夹：");
  EXPECT_EQ(pickers[0].owner, window_->Native());
  // Cancelled: nothing changes.
  toolkit::headless::Desktop().QueueFolderAnswer(std::nullopt);
  ASSERT_TRUE(Click("browsebtn"));
  EXPECT_EQ(Text("setupdictory"), home_.Desktop());
}

TEST_F(SetupWindow, BackAndNextBetweenTheFirstPages) {
  ASSERT_TRUE(Click("下一步"));
  EXPECT_EQ(Page(), 1);
  EXPECT_TRUE(Shown("安装"));
  EXPECT_TRUE(Shown("上一步"));
  ASSERT_TRUE(Click("上一步"));
  EXPECT_EQ(Page(), 0);
  EXPECT_FALSE(Shown("安装"));
  EXPECT_FALSE(Shown("上一步"));
  EXPECT_TRUE(Shown("下一步"));
  ASSERT_TRUE(Click("下一步"));
  EXPECT_EQ(Page(), 1);
  ASSERT_TRUE(Click("MinBtn"));
  EXPECT_TRUE(IsIconic(hwnd_));
}

TEST_F(SetupWindow, AnInstallationToTheFinishingPage) {
  ASSERT_TRUE(Click("下一步"));
  ASSERT_TRUE(Click("SelectDesktopIcon"));  // cleared
  ASSERT_TRUE(Click("安装"));
  EXPECT_EQ(Page(), 2);
  const InstallJob* job = window_->Job();
  ASSERT_NE(job, nullptr);
  // While it runs, going back and installing again do nothing.
  ASSERT_TRUE(Click("上一步"));
  ASSERT_TRUE(Click("安装"));
  EXPECT_EQ(Page(), 2);
  EXPECT_EQ(window_->Job(), job);

  ASSERT_TRUE(PumpUntil([this] { return window_->Finished() && !window_->Job()->Running(); }));
  EXPECT_EQ(Page(), 3);
  EXPECT_EQ(Text("updatetext"), "正在安装，当前进度100%...");
  auto* bar = dynamic_cast<CProgressUI*>(Control("setupprogress"));
  EXPECT_EQ(bar->GetValue(), 7);
  EXPECT_EQ(bar->GetMaxValue(), 7);
  for (const char* hidden : {"安装", "上一步", "取消", "下一步"}) EXPECT_FALSE(Shown(hidden)) << hidden;
  EXPECT_TRUE(Shown("完成"));
  EXPECT_EQ(job->ClientPath(), P("Vymera"));
  EXPECT_TRUE(platform::PathExists(P("user/DefaultUser.jpg")));
  EXPECT_FALSE(platform::PathExists(home_.Desktop() + "/Vymera同步软件.desktop"));
  EXPECT_TRUE(platform::PathExists(home_.Applications() + "/Vymera同步软件/Vymera同步软件.desktop"));
  EXPECT_EQ(ends_, 0);

  ASSERT_TRUE(Click("pcautoruun"));   // selected
  ASSERT_TRUE(Click("nowautoruun"));  // cleared
  ASSERT_TRUE(Click("完成"));
  EXPECT_EQ(ends_, 1);
  EXPECT_NE(Read(platform::AutostartEntryPath("Vymera")).find("\nExec=" + P("Vymera") + " /Startup\n"),
            std::string::npos);
  EXPECT_FALSE(platform::PathExists(P("marker")));
}

TEST_F(SetupWindow, EachStepShowsItsShare) {
  const char* texts[] = {"14", "28", "42", "57", "71", "85", "100"};
  for (int step = 1; step <= 7; ++step) {
    SendMessage(hwnd_, installer_messages::kMsgInstallProgress, step, 7);
    EXPECT_EQ(Text("updatetext"), std::string("正在安装，当前进度") + texts[step - 1] + "%...");
    EXPECT_EQ(dynamic_cast<CProgressUI*>(Control("setupprogress"))->GetValue(), step);
  }
  // Below one percent the text stays; nonsense is ignored.
  SendMessage(hwnd_, installer_messages::kMsgInstallProgress, 0, 7);
  SendMessage(hwnd_, installer_messages::kMsgInstallProgress, 3, 0);
  SendMessage(hwnd_, installer_messages::kMsgInstallProgress, 9, 7);
  EXPECT_EQ(Text("updatetext"), "正在安装，当前进度100%...");
  EXPECT_EQ(dynamic_cast<CProgressUI*>(Control("setupprogress"))->GetValue(), 0);
}

TEST_F(SetupWindow, CloseButtonOnTheFinishingPageEndsWithoutAnyOption) {
  InstallToTheEnd();
  ASSERT_TRUE(Click("pcautoruun"));
  ASSERT_TRUE(Selected("nowautoruun"));
  ASSERT_TRUE(Click("closebtn"));
  EXPECT_EQ(ends_, 1);
  EXPECT_EQ(Other(), nullptr);  // no question once finished
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_FALSE(platform::PathExists(P("marker")));
  EXPECT_FALSE(platform::PathExists(platform::AutostartEntryPath("Vymera")));
}

TEST_F(SetupWindow, FinishStartsTheClientWhenAsked) {
  InstallToTheEnd();
  ASSERT_TRUE(Click("完成"));
  EXPECT_EQ(ends_, 1);
  ASSERT_TRUE(PumpUntil([this] { return Read(P("marker")).find('\n') != std::string::npos; }));
  EXPECT_EQ(Read(P("marker")), "started \n");
  EXPECT_FALSE(platform::PathExists(platform::AutostartEntryPath("Vymera")));
}

TEST_F(SetupWindow, QuittingEarlyAsksAndOnlyConfirmEnds) {
  ASSERT_TRUE(Click("下一步"));
  Seen seen = ClickAndAnswer(hwnd_, "取消", "取消");
  EXPECT_TRUE(seen.asked);
  EXPECT_EQ(seen.title, "QuitQuestion");
  EXPECT_TRUE(seen.question);
  EXPECT_FALSE(seen.clientPicture);
  EXPECT_EQ(seen.owner, hwnd_);
  EXPECT_EQ(ends_, 0);
  EXPECT_TRUE(ClickAndAnswer(hwnd_, "closebtn", "closebtn").asked);
  EXPECT_EQ(ends_, 0);
  EXPECT_EQ(Other(), nullptr);
  EXPECT_TRUE(ClickAndAnswer(hwnd_, "closebtn", "确认").asked);
  EXPECT_EQ(ends_, 1);
  EXPECT_FALSE(platform::PathExists(home_.ProgramFolder()));
}

TEST_F(SetupWindow, TheDesktopsCloseRequestIsTheCloseButtons) {
  bool asked = false;
  Headless().SetIdleHandler([&]() -> bool {
    HWND question = Other();
    if (!question || asked) return false;
    asked = true;
    EXPECT_TRUE(toolkit::headless::Click(question, "确认"));
    return true;
  });
  window_->OnNativeCloseRequest();
  Pump();
  Headless().SetIdleHandler(nullptr);
  EXPECT_TRUE(asked);
  EXPECT_EQ(ends_, 1);
  EXPECT_TRUE(IsWindow(hwnd_));
}

TEST_F(SetupWindow, MissingSystemLibrariesNameThePackagesAndInstallNothing) {
  Close();
  libraries_ = std::make_shared<FakeLibraryProbe>(std::set<std::string>{"libstdc++.so.6"});
  ASSERT_TRUE(Open());
  ASSERT_TRUE(Click("下一步"));
  ASSERT_TRUE(Click("安装"));
  EXPECT_EQ(Page(), 1);
  EXPECT_EQ(window_->Job(), nullptr);
  const auto& boxes = toolkit::headless::Desktop().MessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, "安装程序");
  EXPECT_EQ(boxes[0].owner, window_->Native());
  EXPECT_NE(boxes[0].text.find("sudo apt-get install libstdc++6"), std::string::npos) << boxes[0].text;
  EXPECT_FALSE(platform::PathExists(home_.ProgramFolder()));
}

TEST_F(SetupWindow, AFailedInstallationEndsOnTheFailurePageNamingTheFolder) {
  ASSERT_TRUE(Click("下一步"));
  platform::WriteFileAtomically(home_.File("a-file"), "x");
  Type(home_.File("a-file/Vymera"));
  ASSERT_TRUE(Click("安装"));
  ASSERT_TRUE(PumpUntil([this] { return window_->Failed(); }));
  EXPECT_EQ(Page(), 4);
  EXPECT_FALSE(window_->Finished());
  EXPECT_NE(Text("failtext").find("无法创建文件夹：\n" + home_.File("a-file/Vymera")), std::string::npos)
      << Text("failtext");
  for (const char* hidden : {"安装", "下一步", "完成"}) EXPECT_FALSE(Shown(hidden)) << hidden;
  for (const char* shown : {"上一步", "取消"}) EXPECT_TRUE(Shown(shown)) << shown;
  EXPECT_FALSE(platform::PathExists(home_.Applications() + "/Vymera同步软件"));
  platform::MakeFolderTree(VYMERA_SCREENSHOT_DIR);
  EXPECT_TRUE(toolkit::headless::RenderToPng(hwnd_, VYMERA_SCREENSHOT_DIR "/setup-failure.png"));

  // Back to the folder, and a folder that can be made installs.
  ASSERT_TRUE(Click("上一步"));
  EXPECT_EQ(Page(), 1);
  EXPECT_TRUE(Shown("安装"));
  EXPECT_FALSE(window_->Failed());
  Type(home_.ProgramFolder());
  ASSERT_TRUE(Click("安装"));
  ASSERT_TRUE(PumpUntil([this] { return window_->Finished(); }));
  EXPECT_EQ(Page(), 3);
}

TEST_F(SetupWindow, QuittingFromTheFailurePageEndsWithoutAsking) {
  ASSERT_TRUE(platform::MakeFolderTree(P("Vymera/keep")));
  ASSERT_TRUE(Click("下一步"));
  ASSERT_TRUE(Click("安装"));
  ASSERT_TRUE(PumpUntil([this] { return window_->Failed(); }));
  EXPECT_NE(Text("failtext").find("无法写入文件：\n" + P("Vymera")), std::string::npos) << Text("failtext");
  ASSERT_TRUE(Click("取消"));
  EXPECT_EQ(ends_, 1);
  EXPECT_EQ(Other(), nullptr);
}

TEST_F(SetupWindow, QuittingWhileItInstallsStopsItAndLeavesNoTemporaryFile) {
  ASSERT_TRUE(Click("下一步"));
  ASSERT_TRUE(Click("安装"));
  EXPECT_TRUE(ClickAndAnswer(hwnd_, "取消", "确认").asked);
  EXPECT_EQ(ends_, 1);
  EXPECT_FALSE(window_->Job()->Running());
  std::set<std::string> known{"Vymera", "Dismantor", "Renewix", "res.zip", "res", VYMERA_TOOLKIT_FILE,
                              "70-vymera-devices.rules", VYMERA_KIT_FILE, "userinfoset.xml", "systemset.ini",
                              "user", "install.record"};
  std::error_code ec;
  for (const auto& e : std::filesystem::recursive_directory_iterator(home_.ProgramFolder(), ec)) {
    std::string name = e.path().filename().string();
    if (e.path().parent_path() == home_.ProgramFolder()) {
      EXPECT_TRUE(known.count(name)) << name;
    }
    EXPECT_EQ(name.find(".setup-new"), std::string::npos) << name;
  }
}

TEST_F(SetupWindow, ARelativeFolderIsRefused) {
  ASSERT_TRUE(Click("下一步"));
  Type("Vymera");
  ASSERT_TRUE(Click("安装"));
  EXPECT_EQ(Page(), 1);
  EXPECT_EQ(window_->Job(), nullptr);
  ASSERT_EQ(toolkit::headless::Desktop().MessageBoxes().size(), 1u);
  // "~" is the home folder.
  Type("~/Apps/Vymera");
  ASSERT_TRUE(Click("安装"));
  ASSERT_TRUE(PumpUntil([this] { return window_->Finished() && !window_->Job()->Running(); }));
  EXPECT_TRUE(platform::PathExists(home_.File("Apps/Vymera/Vymera")));
}

}  // namespace
