#include "client/ui/hardware/hardware_set_dlg.h"

#include <string>

#include "client/core/binding/scale_range.h"
#include "platform/file_io.h"
#include "client/core/client_messages.h"

namespace {
std::string OptionName(int option) { return "weight" + std::to_string(option); }
}  // namespace

CHardWareSetDlg::~CHardWareSetDlg() { Forget(); }

void CHardWareSetDlg::Forget() {
  if (context_.scaleSettingsDialog == this) context_.scaleSettingsDialog = nullptr;
}

bool CHardWareSetDlg::OnSkinReady() {
  if (userIndex_ >= context_.core.users.size()) return false;
  const UserRecord& user = *context_.core.users[userIndex_];
  // Until the user's picture is downloaded the skin's default face stands in.
  std::string picture = UserStore::PictureFile(context_.core.ProgramFolder(), user);
  CControlUI* image = Manager().FindControl("userimage");
  if (image && !picture.empty() && platform::PathExists(picture)) image->SetBkImage(picture);
  if (CControlUI* name = Manager().FindControl("username")) name->SetText(CStdString(user.uname));
  referenceWeight_ = user.standardweight;
  ShowWeight();
  if (auto* option = Manager().FindControlAs<COptionUI>(OptionName(ScopeOptionOf(user.weightscope)))) {
    option->Selected(true);
  }
  context_.scaleSettingsDialog = this;
  return true;
}

void CHardWareSetDlg::ShowWeight() const {
  if (CControlUI* weight = Manager().FindControl("userweight"))
    weight->SetText(CStdString(WeightText(referenceWeight_)));
}

void CHardWareSetDlg::SelectPage(Page page) const {
  if (auto* pages = Manager().FindControlAs<CTabLayoutUI>("switch")) pages->SelectItem(page);
}

int CHardWareSetDlg::ChosenOption() const {
  for (int option = 1; option < kScopeOptions; ++option) {
    auto* control = Manager().FindControlAs<COptionUI>(OptionName(option));
    if (control && control->IsSelected()) return option;
  }
  return kScopeOptions;
}

void CHardWareSetDlg::Notify(TNotifyUI& msg) {
  if (msg.sType != "click" || !msg.pSender) return;
  const std::string& name = msg.pSender->GetName();
  if (name == "closebtn" || name == "取消") {
    Close();
  } else if (name == "recalibration") {
    auto* pages = Manager().FindControlAs<CTabLayoutUI>("switch");
    if (pages && pages->GetCurSel() == kRangePage) pages->SelectItem(kWeighingPage);
  } else if (name == "确定") {
    Confirm();
  }
}

void CHardWareSetDlg::Confirm() {
  float weight = referenceWeight_;
  float scope = ScopeOfOption(ChosenOption());
  UserChange change = context_.core.changes.Edit(userIndex_, [&](UserRecord& user) {
    user.standardweight = weight;
    user.weightscope = scope;
  });
  // While a sync pass runs the dialog stays, so the user can confirm again once it is over.
  if (!ChangeMade(GetHWND(), change)) return;
  context_.core.StoreUser(*context_.core.users[userIndex_]);
  result_.stored = true;
  Close();
}

LRESULT CHardWareSetDlg::MessageHandler(UINT msg, WPARAM wParam, LPARAM, bool& handled) {
  if (msg == WM_KEYDOWN && wParam == VK_ESCAPE) {
    handled = true;
    Close();
  }
  return 0;
}

LRESULT CHardWareSetDlg::HandleCustomMessage(UINT msg, WPARAM, LPARAM lParam, bool& handled) {
  if (msg == client_messages::kMsgLiveWeight) {
    handled = true;
    if (auto weight = LiveWeightOf(lParam)) {
      referenceWeight_ = *weight;
      ShowWeight();
      SelectPage(kRangePage);
    }
  } else if (msg == WM_DESTROY) {
    Forget();  // and on to the window pattern
  }
  return 0;
}

void RunScaleSettingsDialog(ClientContext& context, size_t userIndex) {
  toolkit::RunModal<CHardWareSetDlg>(context.mainWindow, "HardWareSet", context, userIndex);
}
