// What the client's and the updater's windows rely on in their skins: every control a window looks
// up by name, the window's size, corners and caption band, the kinds, texts and first states the
// windows expect, and the images they set at run time, at the size of the control that shows them.
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "skins/client/tests/packed_skins.h"
#include "toolkit/testing/test_images.h"

using namespace skin_testing;

namespace {

struct WindowSkin {
  const char* file;
  int width, height;
  int cornerX, cornerY;
  int caption;  // height of the caption band; 0 for the pop-ups without one
  std::vector<std::string> names;
};

// pattern with %d replaced by first..last.
std::vector<std::string> Numbered(const char* pattern, int first, int last) {
  std::vector<std::string> names;
  for (int i = first; i <= last; ++i) {
    std::string name = pattern;
    name.replace(name.find("%d"), 2, std::to_string(i));
    names.push_back(name);
  }
  return names;
}

std::vector<std::string> Join(std::initializer_list<std::vector<std::string>> parts) {
  std::vector<std::string> all;
  for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

std::vector<std::string> AccountDialog(const char* close, const char* action) {
  return {close, "Account", "Password", "注册新账号", "忘记密码?", "自动登录", "记住密码", "erroraccountnoexists",
          "errorpassworderror", "erroremailinvaliad", "erroraccountalreadyexists", "errorpasswordblank",
          "erroraccountblank", action, "取消", "accountedit", "pwdedit"};
}

const std::vector<WindowSkin>& Windows() {
  static const std::vector<WindowSkin> windows = {
      {"main.xml", 850, 600, 13, 12, 116,
       Join({{"帮助菜单", "下拉菜单", "MinBtn", "closebtn"},
             Numbered("User%d", 1, 4), Numbered("User%dBtn", 1, 4), Numbered("User%d_image", 1, 4),
             Numbered("User%d_Name", 1, 4), Numbered("User%d_Level", 1, 4), Numbered("User%d_State", 1, 4),
             {"AddUser", "添加账户按钮", "登录我的Vymera", "已绑定硬件", "账户设置", "用户提醒", "switch", "添加绑定",
              "硬件设置", "解除绑定", "同步帮助", "检测硬件", "NoHardwarePinlessed"},
             Numbered("绑定硬件%d", 1, 3), Numbered("硬件%d已选择", 1, 3), Numbered("硬件%d图片", 1, 3),
             Numbered("硬件%d名称", 1, 3), Numbered("硬件%d内容", 1, 3), Numbered("硬件状态%d图片", 1, 3),
             Numbered("硬件状态%d内容", 1, 3),
             {"自动登录本帐号", "退出软件后清除本帐号", "好友提醒", "邀请提醒", "私信提醒", "回复提醒", "通知提醒",
              "俱乐部提醒", "账户设置_应用", "账户设置_取消", "账户设置_登录Vymera网", "userlogout_image", "立即登录",
              "软件版本", "未分配读数", "connectstate", "连接服务器状态", "ComputerExamine"}})},
      {"LoginDlg.xml", 456, 300, 9, 9, 33, AccountDialog("账户登录_退出", "登录")},
      {"AddNewUserDlg.xml", 456, 300, 9, 9, 33, AccountDialog("添加账户_退出", "添加账户")},
      {"AddNewHardDlg.xml", 456, 300, 9, 9, 33,
       Join({{"closebtn", "switch", "请选择需要绑定的硬件：", "无硬件连接", "down_list_tab"}, Numbered("硬件%d", 1, 3),
             Numbered("SelectHard%d", 1, 3), Numbered("Hard%d_image", 1, 3), Numbered("Hard%d_Name", 1, 3),
             Numbered("Hard%d_SN", 1, 3),
             {"SuccessScale_image", "SuccessStep_image", "Success_image", "label1", "label2", "hardset", "下一步",
              "取消"}})},
      {"SetHardWarDlg.xml", 456, 300, 9, 9, 33,
       {"userimage", "username", "userweight", "weight1", "weight2", "weight3", "recalibration", "switch", "确定",
        "closebtn", "取消"}},
      {"QuitQuestionDlg.xml", 340, 190, 9, 9, 33,
       {"title", "quitsoft", "clearaccount", "logout", "unpinless", "discardreading", "确认", "closebtn", "取消"}},
      {"UnassignedDlg.xml", 460, 450, 9, 9, 33,
       Join({{"title", "closebtn", "说明", "上一页", "页码", "下一页", "无可分配用户", "分配", "丢弃", "关闭"},
             Numbered("读数%d", 1, 8), Numbered("读数%d已选择", 1, 8), Numbered("读数%d日期", 1, 8),
             Numbered("读数%d时间", 1, 8), Numbered("读数%d体重", 1, 8), Numbered("分配用户%d", 1, 4)})},
      {"MessageBoxDlg.xml", 340, 140, 9, 9, 33, {"textimage", "msginfo", "msgtext", "msglongtext"}},
      {"UploadProcessDlg.xml", 456, 300, 9, 9, 33,
       Join({{"closebtn", "我知道了", "下次同步不再提示", "tips", "progress", "uploadprogess", "uploadprogresstext",
              "resultsuccess", "successtotal", "resultfail", "failtotal"},
             Numbered("successuser%d", 1, 4), Numbered("failuser%d", 1, 4)})},
      {"AlertDlg.xml", 280, 150, 9, 9, 33,
       {"User_image", "User_alerttext", "User_Url", "successimage", "successtext", "failimage", "failtext",
        "closebtn"}},
      {"TixingDlg.xml", 210, 145, 3, 3, 0,
       {"好友文字内容", "邀请文字内容", "私信文字内容", "回复文字内容", "通知文字内容", "查看好友按钮", "查看邀请按钮",
        "查看私信按钮", "查看回复按钮", "查看通知按钮"}},
      {"UpdateSoftConfirm.xml", 340, 190, 9, 9, 33, {"loginimage", "updatetext", "closebtn", "立即升级", "暂不升级"}},
      {"XialaDlg.xml", 112, 106, 2, 2, 0, {"系统设置", "关于", "退出", "访问Vymera网"}},
      {"SystemSetDlg.xml", 456, 300, 9, 9, 33,
       {"自动启动", "退出时弹出确认窗口", "自动升级软件", "弹出同步提示窗口", "15分钟", "30分钟", "60分钟", "启用代理",
        "代理地址", "代理端口", "用户名", "密码", "确认", "应用", "取消", "closebtn", "常用设置", "网络代理",
        "switch"}},
      {"AboutDlg.xml", 456, 300, 9, 9, 33, {"版本", "closebtn", "确认", "访问Vymera网"}},
      {"Help.xml", 600, 416, 9, 9, 33,
       Join({{"switch", "帮助", "联系我们", "back", "contactus", "添加账户", "绑定硬件", "同步数据", "硬件设置",
              "同步失败的几种常见情况", "杀毒软件报错与相应设置", "vymerahelp", "取消", "closebtn", "Cooper"},
             Numbered("QQ%d", 1, 4), Numbered("TB%d", 1, 4)})},
      {"UserMenuDlg.xml", 98, 57, 3, 3, 0, {"登陆状态", "清除账号"}},
      {"UpdateSoftDownloadDlg.xml", 456, 310, 9, 9, 33,
       {"closebtn", "updatecontent", "updatetext", "downprogress", "取消", "立即启动"}},
      {"DownloadStopConfirm.xml", 340, 190, 9, 9, 33, {"closebtn", "updatetext", "确定", "取消"}},
  };
  return windows;
}

const WindowSkin& Window(const std::string& file) {
  for (const WindowSkin& w : Windows()) {
    if (file == w.file) return w;
  }
  ADD_FAILURE() << file << " is not in the table";
  return Windows().front();
}

class WindowSkins : public PackedSkinTest {
 protected:
  std::unique_ptr<OpenedSkin> Open(const std::string& file) {
    const WindowSkin& w = Window(file);
    auto opened = OpenPacked(file, w.width, w.height);
    EXPECT_TRUE(opened && opened->window->built) << file;
    return opened;
  }
  template <class T>
  T* As(const OpenedSkin& skin, const std::string& name) {
    auto* control = dynamic_cast<T*>(skin.Find(name));
    EXPECT_TRUE(control) << name;
    return control;
  }
};

TEST_F(WindowSkins, EveryNameAWindowLooksUpExistsWithTheWindowsShape) {
  for (const WindowSkin& w : Windows()) {
    auto skin = Open(w.file);
    ASSERT_TRUE(skin) << w.file;
    const CPaintManagerUI& pm = skin->window->pm;
    EXPECT_EQ(pm.GetInitSize().cx, w.width) << w.file;
    EXPECT_EQ(pm.GetInitSize().cy, w.height) << w.file;
    // Fixed size: the smallest and the largest size are the size.
    EXPECT_EQ(pm.GetMinInfo().cx, w.width) << w.file;
    EXPECT_EQ(pm.GetMinInfo().cy, w.height) << w.file;
    EXPECT_EQ(pm.GetMaxInfo().cx, w.width) << w.file;
    EXPECT_EQ(pm.GetMaxInfo().cy, w.height) << w.file;
    EXPECT_EQ(pm.GetRoundCorner().cx, w.cornerX) << w.file;
    EXPECT_EQ(pm.GetRoundCorner().cy, w.cornerY) << w.file;
    EXPECT_EQ(pm.GetCaptionRect().bottom, w.caption) << w.file;
    for (const std::string& name : w.names) EXPECT_TRUE(skin->Find(name)) << w.file << " lacks " << name;
  }
}

TEST_F(WindowSkins, ControlsAreOfTheKindsTheWindowsUse) {
  auto main = Open("main.xml");
  for (const auto& name : Numbered("User%dBtn", 1, 4)) EXPECT_EQ(As<COptionUI>(*main, name)->GetGroup(), "UserGroup");
  for (const char* name : {"已绑定硬件", "账户设置", "用户提醒"}) EXPECT_EQ(As<COptionUI>(*main, name)->GetGroup(), "NeirongGroup");
  for (const auto& name : Numbered("硬件%d已选择", 1, 3)) EXPECT_EQ(As<COptionUI>(*main, name)->GetGroup(), "绑定组");
  for (const auto& name : Numbered("User%d_Name", 1, 4)) As<CButtonUI>(*main, name);
  for (const auto& name : Numbered("硬件%d名称", 1, 3)) EXPECT_EQ(main->Find(name)->GetClass(), "TextUI");
  EXPECT_EQ(As<CTabLayoutUI>(*main, "switch")->GetCount(), 4);
  // The window adds the slots' menu buttons to these containers.
  for (const auto& name : Numbered("User%d", 1, 4)) As<CContainerUI>(*main, name);
  EXPECT_TRUE(main->Find("examinetitle")) << "ComputerExamine.xml fills the main window's custom control";

  for (const char* file : {"LoginDlg.xml", "AddNewUserDlg.xml"}) {
    auto dialog = Open(file);
    EXPECT_FALSE(As<CEditUI>(*dialog, "Account")->IsPasswordMode());
    EXPECT_TRUE(As<CEditUI>(*dialog, "Password")->IsPasswordMode());
    As<COptionUI>(*dialog, "自动登录");
    As<COptionUI>(*dialog, "记住密码");
  }

  auto hardware = Open("AddNewHardDlg.xml");
  EXPECT_EQ(As<CTabLayoutUI>(*hardware, "switch")->GetCount(), 3);
  // The window removes unused rows from the end, so the list holds exactly the three rows in order.
  auto* list = As<CContainerUI>(*hardware, "down_list_tab");
  ASSERT_EQ(list->GetCount(), 3);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(list->GetItemAt(i)->GetName(), "硬件" + std::to_string(i + 1));
  for (const auto& name : Numbered("SelectHard%d", 1, 3)) EXPECT_TRUE(As<COptionUI>(*hardware, name)->GetGroup().IsEmpty());

  auto scale = Open("SetHardWarDlg.xml");
  EXPECT_EQ(As<CTabLayoutUI>(*scale, "switch")->GetCount(), 2);
  CStdString group = As<COptionUI>(*scale, "weight1")->GetGroup();
  EXPECT_FALSE(group.IsEmpty());
  EXPECT_EQ(As<COptionUI>(*scale, "weight2")->GetGroup(), group);
  EXPECT_EQ(As<COptionUI>(*scale, "weight3")->GetGroup(), group);

  auto settings = Open("SystemSetDlg.xml");
  EXPECT_EQ(As<CTabLayoutUI>(*settings, "switch")->GetCount(), 2);
  CStdString interval = As<COptionUI>(*settings, "15分钟")->GetGroup();
  EXPECT_FALSE(interval.IsEmpty());
  EXPECT_EQ(As<COptionUI>(*settings, "60分钟")->GetGroup(), interval);
  for (const char* name : {"自动启动", "退出时弹出确认窗口", "自动升级软件", "弹出同步提示窗口", "启用代理"}) {
    EXPECT_TRUE(As<COptionUI>(*settings, name)->GetGroup().IsEmpty()) << name;
  }
  for (const char* name : {"代理地址", "代理端口", "用户名"}) EXPECT_FALSE(As<CEditUI>(*settings, name)->IsPasswordMode());
  EXPECT_TRUE(As<CEditUI>(*settings, "密码")->IsPasswordMode());

  auto help = Open("Help.xml");
  EXPECT_EQ(As<CTabLayoutUI>(*help, "switch")->GetCount(), 8);
  // The dialog marks the page shown by the font of these two: 1 is the bold one.
  As<CButtonUI>(*help, "帮助");
  As<CButtonUI>(*help, "联系我们");
  EXPECT_TRUE(help->window->pm.GetFont(1).bold);
  EXPECT_FALSE(help->window->pm.GetFont(0).bold);

  As<CProgressUI>(*Open("UploadProcessDlg.xml"), "uploadprogess");
  As<COptionUI>(*Open("UploadProcessDlg.xml"), "下次同步不再提示");
  As<CLabelUI>(*Open("UpdateSoftConfirm.xml"), "loginimage");
}

struct Text {
  const char* file;
  const char* control;
  const char* text;
};

TEST_F(WindowSkins, FixedTextsAreTheSystemsOwn) {
  const Text texts[] = {
      {"main.xml", "用户提醒", "                    提醒"},
      {"LoginDlg.xml", "注册新账号", "注册新用户"},
      {"LoginDlg.xml", "忘记密码?", "忘记密码？"},
      {"AddNewUserDlg.xml", "注册新账号", "注册新用户"},
      {"AddNewUserDlg.xml", "忘记密码?", "忘记密码？"},
      {"AddNewHardDlg.xml", "请选择需要绑定的硬件：", "请选择需要绑定的硬件："},
      {"AddNewHardDlg.xml", "无硬件连接", "没有硬件连接"},
      {"AddNewHardDlg.xml", "Hard1_SN", "无法读取硬件序列号"},
      {"AddNewHardDlg.xml", "Hard2_SN", "无法读取硬件序列号"},
      {"AddNewHardDlg.xml", "Hard3_SN", "无法读取硬件序列号"},
      {"AddNewHardDlg.xml", "label1", "您可以在本软件中进行管理，"},
      {"AddNewHardDlg.xml", "label2", "或继续进行"},
      {"AddNewHardDlg.xml", "hardset", "硬件设置。"},
      {"SetHardWarDlg.xml", "weight1", "±0.5Kg"},
      {"SetHardWarDlg.xml", "weight2", "±1.0Kg"},
      {"SetHardWarDlg.xml", "weight3", "±2.0Kg"},
      {"SystemSetDlg.xml", "15分钟", "15 分钟"},
      {"SystemSetDlg.xml", "30分钟", "30 分钟"},
      {"SystemSetDlg.xml", "60分钟", "60 分钟"},
      {"AlertDlg.xml", "User_Url", "立即查看"},
      {"UpdateSoftConfirm.xml", "updatetext", "检测到新版本？是否现在升级"},
      {"UserMenuDlg.xml", "登陆状态", "      登陆"},
      {"UpdateSoftDownloadDlg.xml", "updatetext", "正在下载中，当前进度18%..."},
      {"DownloadStopConfirm.xml", "updatetext", "更新还未完成，确定现在退出吗？"},
  };
  for (const Text& t : texts) {
    auto skin = Open(t.file);
    CControlUI* control = skin->Find(t.control);
    ASSERT_TRUE(control) << t.file << " " << t.control;
    EXPECT_EQ(control->GetText(), t.text) << t.file << " " << t.control;
  }
  auto login = Open("LoginDlg.xml");
  EXPECT_EQ(login->Find("Account")->GetToolTip(), "请输入您的注册帐号");
  EXPECT_EQ(login->Find("Password")->GetToolTip(), "请输入您的密码");

  // The scale settings' recalibration page tells the user what to do, in two sentences.
  auto scale = Open("SetHardWarDlg.xml");
  auto* page = As<CTabLayoutUI>(*scale, "switch");
  std::vector<std::string> onPage;
  page->GetItemAt(1)->ForEach([&](CControlUI* c) { onPage.push_back(c->GetText().str()); });
  for (const char* sentence : {"请保持接收器连接电脑！并完成一次称量。", "请勿关闭此窗口！软件会自动接收称量信号。"}) {
    EXPECT_NE(std::find(onPage.begin(), onPage.end(), sentence), onPage.end()) << sentence;
  }
}

// What the windows show and hide themselves starts in the state they expect.
TEST_F(WindowSkins, ControlsTheWindowsRevealStartHidden) {
  const std::pair<const char*, std::vector<std::string>> hidden[] = {
      {"main.xml", Join({Numbered("User%d", 1, 4), Numbered("绑定硬件%d", 1, 3),
                         {"NoHardwarePinlessed", "检测硬件", "账户设置_取消", "俱乐部提醒", "未分配读数"}})},
      {"LoginDlg.xml", {"记住密码", "erroraccountnoexists", "errorpassworderror", "erroremailinvaliad",
                        "erroraccountalreadyexists", "errorpasswordblank", "erroraccountblank"}},
      {"AddNewUserDlg.xml", {"记住密码", "erroraccountnoexists", "errorpassworderror", "erroremailinvaliad",
                             "erroraccountalreadyexists", "errorpasswordblank", "erroraccountblank"}},
      {"AddNewHardDlg.xml", {"down_list_tab", "SuccessScale_image", "SuccessStep_image"}},
      {"QuitQuestionDlg.xml", {"quitsoft", "clearaccount", "logout", "unpinless", "discardreading"}},
      {"UnassignedDlg.xml", Join({Numbered("读数%d", 1, 8), Numbered("分配用户%d", 1, 4), {"无可分配用户"}})},
      {"UploadProcessDlg.xml",
       Join({{"resultsuccess", "resultfail"}, Numbered("successuser%d", 1, 4), Numbered("failuser%d", 1, 4)})},
      {"UpdateSoftDownloadDlg.xml", {"立即启动"}},
  };
  for (const auto& [file, names] : hidden) {
    auto skin = Open(file);
    for (const std::string& name : names) {
      CControlUI* control = skin->Find(name);
      ASSERT_TRUE(control) << file << " " << name;
      EXPECT_FALSE(control->IsVisible()) << file << " " << name;
    }
  }
  auto hardware = Open("AddNewHardDlg.xml");
  EXPECT_TRUE(hardware->Find("Success_image")->IsVisible());
  EXPECT_TRUE(hardware->Find("无硬件连接")->IsVisible());
  auto login = Open("LoginDlg.xml");
  EXPECT_TRUE(As<COptionUI>(*login, "自动登录")->IsSelected());
  EXPECT_TRUE(As<COptionUI>(*login, "记住密码")->IsSelected());
  auto download = Open("UpdateSoftDownloadDlg.xml");
  EXPECT_FALSE(download->Find("立即启动")->IsEnabled());
}

// Shows control and every container around it, the tab pages included.
void Reveal(CControlUI* control) {
  for (CControlUI* c = control; c; c = c->GetParent()) {
    c->SetVisible(true);
    auto* tab = dynamic_cast<CTabLayoutUI*>(c->GetParent());
    if (tab) tab->SelectItem(tab->GetItemIndex(c));
  }
}

using Shot = std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)>;

Shot Render(const OpenedSkin& skin) { return Shot(toolkit::headless::Render(*skin.window), &cairo_surface_destroy); }

bool HasRedIn(const Shot& shot, const CRect& r) {
  for (int y = r.top; y < r.bottom; ++y) {
    for (int x = r.left; x < r.right; ++x) {
      uint32_t p = toolkit_testing::PixelAt(shot.get(), x, y);
      if (((p >> 16) & 0xFF) > 200 && ((p >> 8) & 0xFF) < 90 && (p & 0xFF) < 90) return true;
    }
  }
  return false;
}

// Names and texts from users, devices or the service are shown as they are, never read as markup.
TEST_F(WindowSkins, TextsFromOutsideAreNotMarkup) {
  const std::pair<const char*, std::vector<std::string>> plain[] = {
      {"main.xml", Join({Numbered("User%d_Name", 1, 4), Numbered("硬件%d内容", 1, 3)})},
      {"AddNewHardDlg.xml", Join({Numbered("Hard%d_Name", 1, 3), Numbered("Hard%d_SN", 1, 3)})},
      {"SetHardWarDlg.xml", {"username"}},
      {"UploadProcessDlg.xml", Join({Numbered("successuser%d", 1, 4), Numbered("failuser%d", 1, 4)})},
      {"MessageBoxDlg.xml", {"msgtext"}},
  };
  for (const auto& [file, names] : plain) {
    auto skin = Open(file);
    for (const std::string& name : names) {
      auto* label = As<CLabelUI>(*skin, name);
      ASSERT_TRUE(label) << file << " " << name;
      Reveal(label);
      label->SetText("{c #FF0000}WWW{/c}");
      Shot shot = Render(*skin);
      ASSERT_TRUE(shot);
      EXPECT_FALSE(HasRedIn(shot, label->GetPos())) << file << " " << name << " reads its text as markup";
    }
  }
  // The check itself: the reminder texts are markup, and show their link words in colour.
  auto tixing = Open("TixingDlg.xml");
  auto* text = As<CLabelUI>(*tixing, "好友文字内容");
  text->SetText("{c #FF0000}WWW{/c}");
  EXPECT_TRUE(HasRedIn(Render(*tixing), text->GetPos()));
}

struct RuntimeImage {
  const char* file;
  const char* control;
  std::vector<std::string> images;
};

// Images the windows put on controls at run time are packed, drawn at the control's size.
TEST_F(WindowSkins, ImagesSetAtRunTimeFitTheirControls) {
  const RuntimeImage runtime[] = {
      {"main.xml", "connectstate", {"mainwindow_connect.png", "mainwindow_disconnect.png"}},
      {"main.xml", "硬件1图片", {"健康称2.png", "计步器2.png"}},
      {"main.xml", "硬件状态1图片", {"勾勾.png", "停止.png"}},
      {"AddNewHardDlg.xml", "Hard1_image", {"健康称2.png", "计步器2.png"}},
      {"AddNewHardDlg.xml", "Success_image", {"健康称2.png", "计步器2.png"}},
      {"AddNewHardDlg.xml", "下一步", {"okbtn.png", "okbtn_over.png", "okbtn_push.png", "okbtn_disable.png"}},
      {"AddNewHardDlg.xml", "取消", {"okbtn.png", "okbtn_over.png", "okbtn_push.png", "okbtn_disable.png"}},
      {"QuitQuestionDlg.xml", "title",
       {"quitquestion_title.png", "clearaccount_title.png", "logouttitle.png", "unpinlesstitle.png"}},
      {"MessageBoxDlg.xml", "textimage", {"applysuccess.png", "addsuccess.png", "loginsuccess.png"}},
      {"MessageBoxDlg.xml", "msginfo",
       {"messagebox_badnetwork.png", "steppinlesssuccess.png", "scalepinlesssuccess.png", "unpinlesssuccess.png",
        "pinlessfail_alreadypinless.png", "pinlessfail_up4person.png", "stepfail_person_alreadypinless.png",
        "stepfail_step_alreadypinless.png", "unknowway.png"}},
      {"AlertDlg.xml", "User_image", {"DefaultUser.jpg"}},
      {"SetHardWarDlg.xml", "userimage", {"DefaultUser.jpg"}},
      {"main.xml", "User1_image", {"DefaultUser.jpg"}},
      {"main.xml", "userlogout_image", {"DefaultUser.jpg"}},
  };
  for (const RuntimeImage& r : runtime) {
    auto skin = Open(r.file);
    CControlUI* control = skin->Find(r.control);
    ASSERT_TRUE(control) << r.file << " " << r.control;
    for (const std::string& image : r.images) {
      auto size = ImageSize(image);
      ASSERT_TRUE(size) << image << " is not packed";
      EXPECT_EQ(size->cx, control->GetFixedWidth()) << r.control << " " << image;
      EXPECT_EQ(size->cy, control->GetFixedHeight()) << r.control << " " << image;
    }
  }
  // The level sprite: two rows of ten cells 51 wide and 17 high, each shown by its right 50 pixels.
  EXPECT_EQ(ImageSize("level.png").value_or(CSize()).cx, 510);
  EXPECT_EQ(ImageSize("level.png").value_or(CSize()).cy, 34);
  auto main = Open("main.xml");
  EXPECT_EQ(main->Find("User1_Level")->GetFixedWidth(), 50);
  EXPECT_EQ(main->Find("User1_Level")->GetFixedHeight(), 17);
  // The slot menu button the window creates: 8 by 4.
  EXPECT_EQ(ImageSize("usermenubtn.png").value_or(CSize()).cx, 8);
  EXPECT_EQ(ImageSize("usermenubtn.png").value_or(CSize()).cy, 4);
}

}  // namespace
