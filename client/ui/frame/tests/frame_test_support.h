#pragma once
// The real main window over the client rig: its own core on the rig's program folder, service and
// simulated devices, created and shown as the program does, and screenshots of what it shows.

#include <string>

#include "client/ui/frame/frame_window.h"
#include "client/ui/testing/client_rig.h"
#include "toolkit/testing/headless.h"

namespace frame_testing {

class FrameTest : public client_testing::ClientTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A service account the user file holds before the client starts (logging in by itself unless
  // autologin is off).
  void SeedUser(const std::string& account, const std::string& password, bool autologin = true, bool autoclear = false);
  // Starts the main window as the program does; its "windowinit" has run when this returns.
  void StartFrame();
  // The window as the screen would show it, saved under the build folder's screenshots.
  static void Shot(HWND window, const std::string& name);

  UserList& Users() { return frame->Core().users; }
  // The user file as it stands now (the frame's core keeps it).
  UserList StoredUsers() const { return UserStore::LoadAll(folder.File(UserStore::kFileName)); }

  CFrameWindowWnd* frame = nullptr;
  HWND main = nullptr;
};

}  // namespace frame_testing
