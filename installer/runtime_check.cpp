#include "installer/runtime_check.h"

#include <algorithm>
#include <optional>
#include <set>
#include <utility>

#include "install/install_items.h"

namespace {

// Libraries the system has under these names in the Debian release the programs are built on.
constexpr std::pair<std::string_view, std::string_view> kPackages[] = {
    {"libc.so.6", "libc6"},
    {"libm.so.6", "libc6"},
    {"ld-linux-x86-64.so.2", "libc6"},
    {"ld-linux-aarch64.so.1", "libc6"},
    {"libgcc_s.so.1", "libgcc-s1"},
    {"libstdc++.so.6", "libstdc++6"},
    {"libz.so.1", "zlib1g"},
    {"libcurl.so.4", "libcurl4"},
    {"libcrypto.so.3", "libssl3"},
    {"libssl.so.3", "libssl3"},
    {"libhidapi-hidraw.so.0", "libhidapi-hidraw0"},
    {"libudev.so.1", "libudev1"},
    {"libuuid.so.1", "libuuid1"},
    {"libsqlite3.so.0", "libsqlite3-0"},
    {"libgtk-3.so.0", "libgtk-3-0"},
    {"libgdk-3.so.0", "libgtk-3-0"},
    {"libgdk_pixbuf-2.0.so.0", "libgdk-pixbuf-2.0-0"},
    {"libglib-2.0.so.0", "libglib2.0-0"},
    {"libgobject-2.0.so.0", "libglib2.0-0"},
    {"libgio-2.0.so.0", "libglib2.0-0"},
    {"libcairo.so.2", "libcairo2"},
    {"libpango-1.0.so.0", "libpango-1.0-0"},
    {"libpangocairo-1.0.so.0", "libpangocairo-1.0-0"},
    {"libpangoft2-1.0.so.0", "libpangoft2-1.0-0"},
    {"libgmodule-2.0.so.0", "libglib2.0-0"},
    {"libatk-1.0.so.0", "libatk1.0-0"},
    {"libcairo-gobject.so.2", "libcairo-gobject2"},
    {"libharfbuzz.so.0", "libharfbuzz0b"},
    {"libfontconfig.so.1", "libfontconfig1"},
    {"libfreetype.so.6", "libfreetype6"},
    {"libpng16.so.16", "libpng16-16"},
    {"libX11.so.6", "libx11-6"},
    // A build with the sanitizers loads their run-time libraries.
    {"libasan.so.8", "libasan8"},
    {"libubsan.so.1", "libubsan1"},
};

}  // namespace

std::string DebianPackageOf(std::string_view soname) {
  for (const auto& [library, package] : kPackages) {
    if (library == soname) return std::string(package);
  }
  return {};
}

RuntimeCheck CheckRuntime(const LibraryProbe& probe) {
  std::set<std::string> carried;
  for (const InstallItem& item : install_items::kAll) carried.insert(item.fileName);
  std::vector<std::string> needed;
  for (const InstallItem& item : install_items::kAll) {
    std::optional<std::string_view> bytes = platform::FindPayload(item.type, item.id);
    if (!bytes) continue;
    for (std::string& library : NeededLibraries(*bytes)) {
      if (!carried.count(library) && std::find(needed.begin(), needed.end(), library) == needed.end()) {
        needed.push_back(std::move(library));
      }
    }
  }
  RuntimeCheck check;
  for (const std::string& library : needed) {
    if (probe.Present(library)) continue;
    check.missing.push_back(library);
    std::string package = DebianPackageOf(library);
    if (!package.empty() && std::find(check.packages.begin(), check.packages.end(), package) == check.packages.end()) {
      check.packages.push_back(package);
    }
  }
  return check;
}

std::string RuntimeCheckText(const RuntimeCheck& check) {
  std::string text = "这台电脑缺少Vymera同步软件运行所需的系统库：\n";
  for (const std::string& library : check.missing) text += "    " + library + "\n";
  if (check.packages.empty()) return text + "\n请先安装提供这些库的软件包，再安装Vymera同步软件。";
  text += "\n请先安装以下软件包，再安装Vymera同步软件：\nsudo apt-get install";
  for (const std::string& package : check.packages) text += " " + package;
  return text;
}
