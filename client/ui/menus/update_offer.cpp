#include "client/ui/menus/update_offer.h"

#include "client/ui/menus/update_soft_confirm_dlg.h"
#include "toolkit/desktop/desktop.h"

UpdateOffer OfferUpdate(ApiClient& api, const std::string& programFolder, const std::function<void()>& exitProgram,
                        const std::string& ownVersion) {
  UpdateOffer offer;
  if (!CheckForUpdate(api, ownVersion, offer) || !AskToUpdate()) return offer;
  if (StartUpdater(programFolder)) {
    if (exitProgram) exitProgram();
    return offer;
  }
  toolkit::ShowMessageBox(nullptr, "未知错误，未能启动升级软件", "软件升级", MB_OK);
  return offer;
}
