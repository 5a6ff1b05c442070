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

std::string ApplyFinishOptions(const FinishOptions& options, const std::string& clientPath) {
  std::string problem;
  if (options.autoStart && !platform::WriteAutostartEntry(kAutostartName, clientPath, kStartupArgument)) {
    problem += "无法写入开机启动项：" + platform::AutostartEntryPath(kAutostartName) +
               "\n请确认该文件夹可以写入，或在同步软件的设置中打开开机自动启动。\n";
  }
  if (options.startNow && !platform::StartProgram(clientPath, FolderOf(clientPath))) {
    problem += "无法启动Vymera同步软件：" + clientPath + "\n请从应用程序菜单中的“Vymera同步软件”启动。\n";
  }
  return problem;
}
