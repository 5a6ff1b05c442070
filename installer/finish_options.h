#pragma once
// What the last page offers once the files are in place.

#include <string>

struct FinishOptions {
  bool autoStart = false;  // start the client with the desktop session, hidden in the tray
  bool startNow = false;   // start the client now
  // Set the company's site as the browser's start page; only where kCanSetHomePage.
  bool homePage = false;
};

// Browsers here keep their start page in their own profiles and offer no way for another program
// to set it, so the option is not offered.
inline constexpr bool kCanSetHomePage = false;

// The name of the client's autostart entry, and the argument it is started with.
inline constexpr const char* kAutostartName = "Vymera";
inline constexpr const char* kStartupArgument = "/Startup";

// Applies the options for the client installed at clientPath. What could not be done, as the text
// the user is told; empty when everything asked for was done.
std::string ApplyFinishOptions(const FinishOptions& options, const std::string& clientPath);
