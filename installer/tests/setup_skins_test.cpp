// The installer's skins as the build packs them: every picture a skin names is in the archive as a
// PNG, and every control the windows look up is there with its kind.
#include <regex>
#include <set>

#include <gtest/gtest.h>

#include "common/zip/zip_archive.h"
#include "installer/quit_question_dlg.h"
#include "installer/tests/setup_rig.h"

using namespace installer_testing;

namespace {

TEST(SetupSkins, EveryPictureASkinNamesIsPacked) {
  auto archive = ZipArchive::Open(VYMERA_INSTALLER_SKINS);
  ASSERT_TRUE(archive);
  std::set<std::string> pictures;
  for (const char* skin : {"SetupDlg.xml", "QuitQuestionDlg.xml"}) {
    std::string text = archive->ReadItem(skin).value_or("");
    ASSERT_FALSE(text.empty()) << skin;
    static const std::regex picture(R"re([A-Za-z0-9_]+\.png)re");
    for (auto it = std::sregex_iterator(text.begin(), text.end(), picture); it != std::sregex_iterator(); ++it) {
      pictures.insert(it->str());
    }
  }
  EXPECT_GT(pictures.size(), 20u);
  for (const std::string& name : pictures) {
    EXPECT_EQ(archive->ReadItem(name).value_or("").substr(0, 8), std::string("\x89PNG\r\n\x1a\n")) << name;
  }
}

class SetupSkinControls : public SetupTest {};

template <class Kind>
bool Is(CControlUI* control) {
  return dynamic_cast<Kind*>(control) != nullptr;
}

TEST_F(SetupSkinControls, TheSetupWindowHasEveryControlItUses) {
  ASSERT_TRUE(Open());
  for (const char* button : {"MinBtn", "closebtn", "上一步", "下一步", "安装", "取消", "完成", "browsebtn"}) {
    EXPECT_TRUE(Is<CButtonUI>(Control(button))) << button;
  }
  for (const char* option : {"SelectDesktopIcon", "SelectQuickStart", "pcautoruun", "nowautoruun", "sethomepage"}) {
    EXPECT_TRUE(Is<COptionUI>(Control(option))) << option;
  }
  EXPECT_TRUE(Is<CEditUI>(Control("setupdictory")));
  EXPECT_TRUE(Is<CLabelUI>(Control("diskinfo")));
  EXPECT_TRUE(Is<CLabelUI>(Control("updatetext")));
  EXPECT_TRUE(Is<CProgressUI>(Control("setupprogress")));
  EXPECT_TRUE(Is<CLabelUI>(Control("failtext")));
  auto* pages = dynamic_cast<CTabLayoutUI*>(Control("switch"));
  ASSERT_TRUE(pages);
  // The four pages of an installation and the failure page.
  EXPECT_EQ(pages->GetCount(), 5);
  // Where two buttons share a place, the later one is on top.
  EXPECT_EQ(Control("安装")->GetFloatPos(), Control("下一步")->GetFloatPos());
  EXPECT_EQ(Control("完成")->GetFloatPos(), Control("取消")->GetFloatPos());
  EXPECT_EQ(Text("updatetext"), "正在安装，当前进度18%...");
}

TEST_F(SetupSkinControls, TheQuestionHasEveryControlItUses) {
  bool checked = false;
  Headless().SetIdleHandler([&]() -> bool {
    HWND question = Other();
    if (!question || checked) return false;
    checked = true;
    CPaintManagerUI* pm = CPaintManagerUI::FromWindow(question);
    for (const char* button : {"closebtn", "确认", "取消"}) EXPECT_TRUE(Is<CButtonUI>(pm->FindControl(button)));
    EXPECT_EQ(pm->FindControl("quitsteup")->GetText().str(), "安装尚未完成，确认退出吗？");
    EXPECT_FALSE(pm->FindControl("setupcheck")->GetBkImage().IsEmpty());
    RECT client{};
    GetClientRect(question, &client);
    EXPECT_EQ(client.right, 340);
    EXPECT_EQ(client.bottom, 190);
    EXPECT_TRUE(toolkit::headless::Click(question, "取消"));
    return true;
  });
  EXPECT_FALSE(AskSetupQuestion(nullptr, CQuitQuestionDlg::kQuitMode));
  Headless().SetIdleHandler(nullptr);
  EXPECT_TRUE(checked);
}

}  // namespace
