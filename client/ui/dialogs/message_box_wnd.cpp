#include "client/ui/dialogs/message_box_wnd.h"

#include <algorithm>
#include <array>
#include <utility>

namespace {
struct KeyPicture {
  std::string_view key;
  CMessageBoxWnd::Picture picture;
};
constexpr std::array<KeyPicture, 14> kPictures{{
    {"应用成功", {"textimage", "applysuccess.png"}},
    {"添加成功", {"textimage", "addsuccess.png"}},
    {"登录成功", {"textimage", "loginsuccess.png"}},
    {"网络错误", {"msginfo", "messagebox_badnetwork.png"}},
    {"计步器绑定成功", {"msginfo", "steppinlesssuccess.png"}},
    {"健康秤绑定成功", {"msginfo", "scalepinlesssuccess.png"}},
    {"解除绑定成功", {"msginfo", "unpinlesssuccess.png"}},
    {"41", {"msginfo", "pinlessfail_alreadypinless.png"}},
    {"42", {"msginfo", "pinlessfail_up4person.png"}},
    {"43", {"msginfo", "pinlessfail_alreadypinless.png"}},
    {"31", {"msginfo", "stepfail_person_alreadypinless.png"}},
    {"32", {"msginfo", "stepfail_step_alreadypinless.png"}},
    {"33", {"msginfo", "stepfail_person_alreadypinless.png"}},
    {"未知错误", {"msginfo", "unknowway.png"}},
}};
}  // namespace

CMessageBoxWnd::Picture CMessageBoxWnd::PictureOf(std::string_view key) {
  for (const auto& entry : kPictures) {
    if (entry.key == key) return entry.picture;
  }
  return {};
}

UINT CMessageBoxWnd::StandsForMs(std::string_view key) {
  if (!PictureOf(key).image.empty() || key.size() <= kShortTextBytes) return kCloseAfterMs;
  return static_cast<UINT>(std::min<size_t>(kCloseAfterMs + key.size() * kReadingMsPerByte, kLongestMs));
}

bool CMessageBoxWnd::OnSkinReady() {
  Picture picture = PictureOf(key_);
  if (!picture.image.empty()) {
    if (CControlUI* shown = Manager().FindControl(picture.control)) shown->SetBkImage(CStdString(std::string(picture.image)));
  } else if (CControlUI* text = Manager().FindControl(key_.size() > kShortTextBytes ? "msglongtext" : "msgtext");
             text && !key_.empty()) {
    // The skin's text controls show no markup: a service's text stays text.
    text->SetText(CStdString(key_));
    text->SetVisible(true);
  }
  SetTimer(*this, kCloseTimer, StandsForMs(key_));
  return true;
}


LRESULT CMessageBoxWnd::HandleCustomMessage(UINT msg, WPARAM wParam, LPARAM, bool& handled) {
  if (msg == WM_TIMER && wParam == kCloseTimer) {
    KillTimer(*this, kCloseTimer);
    Close();
    handled = true;
  }
  return 0;
}

void ShowClientMessage(HWND owner, std::string_view key) {
  toolkit::RunModal<CMessageBoxWnd>(owner, "MessageBoxDlg", std::string(key));
}
