#include "toolkit/skin/resource_source.h"

#include <cctype>
#include <vector>

#include "platform/file_io.h"
#include "platform/paths.h"

namespace toolkit {

std::string NormalizePath(std::string_view path) {
  std::string p(path);
  for (char& c : p) {
    if (c == '\\') c = '/';
  }
  // The root a path starts from: "/", or a drive ("C:/") as Windows paths have it.
  std::string root;
  if (!p.empty() && p.front() == '/') {
    root = "/";
  } else if (p.size() >= 3 && p[1] == ':' && p[2] == '/' && std::isalpha(static_cast<unsigned char>(p[0]))) {
    root = p.substr(0, 3);
  }
  bool absolute = !root.empty();
  std::vector<std::string> parts;
  size_t i = root.size();
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
  std::string out = root;
  for (size_t k = 0; k < parts.size(); ++k) {
    if (k) out += '/';
    out += parts[k];
  }
  return out;
}

FolderSource::FolderSource(std::string folder) : folder_(NormalizePath(folder)) {}

bool IsAbsolutePath(std::string_view normalized) {
  if (!normalized.empty() && normalized.front() == '/') return true;
  return normalized.size() >= 3 && normalized[1] == ':' && normalized[2] == '/';
}

std::string FolderSource::DiskPath(std::string_view name) const {
  std::string n = NormalizePath(name);
  if (IsAbsolutePath(n)) return n;
  return NormalizePath(platform::JoinPath(folder_, n));
}

std::optional<std::string> FolderSource::Read(std::string_view name) const {
  if (NormalizePath(name).empty()) return std::nullopt;
  return platform::ReadWholeFile(DiskPath(name));
}

}  // namespace toolkit
