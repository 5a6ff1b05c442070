#pragma once
// The desktop services of a GTK session: dialogs shown without a loop of their own, the tray icon
// in whichever notification area the session has, the browser through the desktop's opener.

#include <memory>
#include <string>

#include "toolkit/core/desktop_backend.h"

namespace toolkit {

std::unique_ptr<DesktopBackend> CreateGtkDesktop();
// The primary monitor's area without panels.
CRect GtkWorkArea();

// The message box in the skins' look, centred on anchor within workArea.
std::unique_ptr<NativeMessageBox> OpenGtkMessageBox(NativeWindow* owner, const std::string& text,
                                                    const std::string& caption, UINT type, const CRect& anchor,
                                                    const CRect& workArea);
std::unique_ptr<NativeFolderPicker> OpenGtkFolderPicker(NativeWindow* owner, const std::string& title);
std::unique_ptr<NativeTray> CreateGtkTray(TrayHost* host, const std::string& iconPng, const std::string& tip);

}  // namespace toolkit
