// The Windows programs are linked with their compiler's run-time libraries built in, and import only
// DLLs that are part of every Windows or that Setup carries: there is nothing to check before the
// installation, and no package to name.
#include <windows.h>

#include "installer/runtime_check.h"
#include "platform/wide_text.h"

std::vector<std::string> NeededLibraries(std::string_view) { return {}; }

bool LoaderLibraryProbe::Present(const std::string& soname) const {
  HMODULE module = LoadLibraryExW(platform::Widen(soname).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!module) return false;
  FreeLibrary(module);
  return true;
}
