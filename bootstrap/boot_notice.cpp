// Bootwyn's notices as the desktop's message boxes: the one part of the bootstrapper with windows.
#include "bootstrap/bootstrap.h"
#include "toolkit/desktop/desktop.h"

BootResult RunBootwyn(const BootPlaces& places) {
  return RunBootwyn(places, [](const std::string& text, bool error) {
    toolkit::ShowMessageBox(nullptr, CStdString(text), bootstrap::kCaption, error ? MB_OK | MB_ICONERROR : MB_OK);
  });
}
