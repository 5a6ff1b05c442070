#pragma once
// What every window of the client borrows from the frame: the core (settings, users, devices, web
// access, sync engine), the main window that owns the dialogs and hears their choices, the web
// sites the windows link to, and the few facts the frame keeps about open windows.

#include <string>
#include <string_view>

#include "client/core/app/client_core.h"
#include "platform/message_target.h"
#include "toolkit/core/win_types.h"

struct ClientContext {
  ClientCore& core;
  HWND mainWindow = nullptr;
  std::string memberSite;   // with its trailing "/"
  std::string companySite;  // with its trailing "/"
  // The open scale settings dialog, which hears live weights; null while none is open.
  platform::MessageTarget* scaleSettingsDialog = nullptr;
  // The reminder list is standing (the pointer over "用户提醒" opens it only once).
  bool reminderListOpen = false;

  // A page of the member site: path begins with "/".
  std::string MemberPage(std::string_view path) const;
  // The member site's home page, logged in with the user's code.
  std::string MemberHome(const UserRecord& user) const;
  std::string CompanyHome() const { return companySite; }
};

// Opens a page in the browser, maximised as the client's links are.
bool OpenPage(const std::string& url);

// A change the sync pass refused (PassRunning) is told to the user in a message box over owner;
// true when the change was made.
bool ChangeMade(HWND owner, UserChange change);
