#pragma once
// The start-up update check: which release the web service offers, whether it is newer than the
// running client, and the hand-off to the updater, which makes its own query and does the download.

#include <string>
#include <string_view>

class ApiClient;

// What the service offers; both texts empty when it offers nothing usable.
struct UpdateOffer {
  std::string version;  // dotted decimal, a.b.c.d
  std::string url;      // the release's program; the updater fetches it, the client only reads it
};

// Asks the service through api ("method=vymera.get"). True when the answer's root is exactly
// "vymera_get" and its donload/newversion is newer than ownVersion by CompareVersion; offer then
// holds the version and donload/url (each read as version_offer::Read reads them). False on no answer, another root, or an offer not newer;
// offer is left empty then. Nothing is shown to the user.
bool CheckForUpdate(ApiClient& api, std::string_view ownVersion, UpdateOffer& offer);

// The updater's file name in the program folder.
inline constexpr const char* kUpdaterProgram = "Renewix" VYMERA_PROGRAM_SUFFIX;

// Starts the updater from programFolder, with no arguments and that folder as its current folder.
// True when it started; the caller then ends the client at once.
bool StartUpdater(const std::string& programFolder);
