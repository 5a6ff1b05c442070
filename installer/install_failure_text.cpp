#include "installer/install_failure_text.h"

#include "platform/paths.h"

std::string InstallFailureText(const InstallResult& result, const std::string& programFolder) {
  std::string path = platform::ForPeople(result.path);
  std::string folder = platform::ForPeople(programFolder);
  switch (result.failure) {
    case InstallFailure::Folder:
      return "无法创建文件夹：\n" + path +
             "\n\n请确认您对这个位置有写入权限，或点击“上一步”选择其他安装目录。";
    case InstallFailure::Write:
      return "无法写入文件：\n" + path + "\n\n请确认安装目录 " + folder +
             " 可以写入、磁盘空间充足，并关闭正在运行的Vymera同步软件，然后点击“上一步”重新安装。";
    case InstallFailure::Skins:
      return "界面文件没有完整解压：\n" + path +
             "\n\n安装程序可能已损坏，请重新下载安装程序；若磁盘空间不足，请清理后点击“上一步”重新安装。";
    case InstallFailure::Shortcut:
      return "无法创建快捷方式：\n" + path + "\n\n请确认这个文件夹可以写入，然后点击“上一步”重新安装。";
    case InstallFailure::None:
    case InstallFailure::Cancelled:
      break;
  }
  return {};
}
