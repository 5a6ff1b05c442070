#include "installer/finish_options.h"

#include "platform/autostart.h"
#include "platform/process.h"

namespace {

std::string FolderOf(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

void ApplyFinishOptions(const FinishOptions& options, const std::string& clientPath) {
  if (options.autoStart) platform::WriteAutostartEntry(kAutostartName, clientPath, kStartupArgument);
  if (options.startNow) platform::StartProgram(clientPath, FolderOf(clientPath));
}
