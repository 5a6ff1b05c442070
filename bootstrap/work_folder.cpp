#include "bootstrap/work_folder.h"

#include <algorithm>
#include <cstdio>

#include "platform/paths.h"

std::string GuidFolderName(const GuidBytes& g) {
  // The text form reads the first three fields as numbers, most significant byte first.
  unsigned long part1 = (static_cast<unsigned long>(g[0]) << 24) | (g[1] << 16) | (g[2] << 8) | g[3];
  unsigned part2 = (g[4] << 8) | g[5];
  unsigned part3 = (g[6] << 8) | g[7];
  char text[40];
  std::snprintf(text, sizeof text, "{%08lX-%04X-%04x-%02X%02X-%02X%02X%02X%02X%02X%02X}", part1, part2, part3, g[8],
                g[9], g[10], g[11], g[12], g[13], g[14], g[15]);
  return text;
}

bool IsGuidFolderName(std::string_view name) {
  constexpr std::string_view kForm = "{XXXXXXXX-XXXX-xxxx-XXXX-XXXXXXXXXXXX}";
  if (name.size() != kForm.size()) return false;
  for (size_t i = 0; i < name.size(); ++i) {
    char c = name[i], f = kForm[i];
    bool ok = f == 'X'   ? (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F')
              : f == 'x' ? (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')
                         : c == f;
    if (!ok) return false;
  }
  return true;
}

WorkFolder MakeWorkFolder(const std::string& temporary) {
  constexpr int kTries = 4;
  for (int i = 0; i < kTries; ++i) {
    std::optional<GuidBytes> guid = NewGuid();
    if (!guid) return {WorkFolderResult::NoGuid, {}};
    std::string path = platform::JoinPath(temporary, GuidFolderName(*guid));
    bool taken = false;
    if (MakePrivateFolder(path, taken) == WorkFolderResult::Made) return {WorkFolderResult::Made, path};
    if (!taken) break;
  }
  return {WorkFolderResult::NotMade, {}};
}
