#include "installer/folder_text.h"

#include "platform/paths.h"
#include "platform/special_folders.h"

std::optional<std::string> FolderFromText(const std::string& text) {
  std::string folder = platform::WithSeparators(text);
  if (folder == "~" || folder.starts_with("~/")) {
    std::string home = platform::HomeFolder();
    if (home.empty()) return std::nullopt;
    folder = home + folder.substr(1);
  }
  if (!platform::IsAbsolutePath(folder)) return std::nullopt;
  return folder;
}

std::string DefaultProgramFolder() {
  std::string data = platform::DataHome();
  return data.empty() ? std::string() : platform::JoinPath(data, "Vymera");
}
