#include "toolkit/skin/resource_source.h"

#include <vector>

#include "platform/file_io.h"
#include "platform/paths.h"

namespace toolkit {

std::string NormalizePath(std::string_view path) {
  std::string p(path);
  for (char& c : p) {
    if (c == '\\') c = '/';
  }
  bool absolute = !p.empty() && p.front() == '/';
  std::vector<std::string> parts;
  size_t i = 0;
  while (i <= p.size()) {
    size_t slash = p.find('/', i);
    if (slash == std::string::npos) slash = p.size();
    std::string part = p.substr(i, slash - i);
    i = slash + 1;
    if (part.empty() || part == ".") continue;
    if (part == ".." && !parts.empty() && parts.back() != "..") {
      parts.pop_back();
    } else if (part == ".." && absolute) {
      continue;  // nothing above the root
    } else {
      parts.push_back(part);
    }
  }
  std::string out = absolute ? "/" : "";
  for (size_t k = 0; k < parts.size(); ++k) {
    if (k) out += '/';
    out += parts[k];
  }
  return out;
}

FolderSource::FolderSource(std::string folder) : folder_(NormalizePath(folder)) {}

std::string FolderSource::DiskPath(std::string_view name) const {
  std::string n = NormalizePath(name);
  if (!n.empty() && n.front() == '/') return n;
  return NormalizePath(platform::JoinPath(folder_, n));
}

std::optional<std::string> FolderSource::Read(std::string_view name) const {
  if (NormalizePath(name).empty()) return std::nullopt;
  return platform::ReadWholeFile(DiskPath(name));
}

}  // namespace toolkit
