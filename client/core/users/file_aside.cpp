#include "client/core/users/file_aside.h"

#include "platform/file_io.h"

namespace {
constexpr int kMaxDamagedCopies = 999;
// Prefixes tried, from the end of the file back: damage further back than this is not looked behind.
constexpr int kMaxPrefixTries = 64;
}  // namespace

std::optional<std::string> SetFileAside(const std::string& path, std::string_view fresh) {
  for (int n = 1; n <= kMaxDamagedCopies; ++n) {
    std::string aside = path + ".damaged-" + std::to_string(n);
    if (platform::RenameWithoutReplacing(path, aside)) {
      if (!platform::WriteFileAtomically(path, fresh, platform::FileAccess::OwnerOnly)) return std::nullopt;
      return aside;
    }
    // Only a name already taken is worth another try.
    if (!platform::PathExists(aside)) return std::nullopt;
  }
  return std::nullopt;
}

std::optional<XmlDocument> ReadBeforeDamage(const std::string& path, std::string_view itemEnd, std::string_view root) {
  std::optional<std::string> text = platform::ReadWholeFile(path);
  if (!text) return std::nullopt;
  std::string close = "\r\n</" + std::string(root) + ">\r\n";
  size_t end = text->size();
  for (int tries = 0; tries < kMaxPrefixTries && end > 0; ++tries) {
    size_t at = text->rfind(itemEnd, end - 1);
    if (at == std::string::npos) break;
    XmlDocument doc;
    doc.LoadText(text->substr(0, at + itemEnd.size()) + close);
    if (doc.State() == XmlDocument::Read && doc.Root().Name() == root) return doc;
    end = at;
  }
  return std::nullopt;
}
