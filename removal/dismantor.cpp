// Dismantor's dialogue with the user, in message boxes: the one part of the removal with windows.
#include "removal/removal.h"
#include "toolkit/desktop/desktop.h"

void RunDismantor(const RemovalPlaces& places) {
  if (!LoadInstallRecord(places)) {
    toolkit::ShowMessageBox(nullptr, removal::kNoRecord, removal::kCaption, MB_OK | MB_ICONWARNING);
    return;
  }
  if (toolkit::ShowMessageBox(nullptr, removal::kQuestion, removal::kCaption, MB_YESNO | MB_ICONQUESTION) != IDYES) {
    return;
  }
  RemovalReport report = RemoveInstallation(places);
  UINT icon = report.ruleLeft.empty() ? MB_ICONINFORMATION : MB_ICONWARNING;
  toolkit::ShowMessageBox(nullptr, RemovalMessage(report), removal::kCaption, MB_OK | icon);
}
