#include <unistd.h>

#include "zip_test_writer.h"

namespace zip_test {

bool MakeFolderLink(const std::string& target, const std::string& link) {
  return ::symlink(target.c_str(), link.c_str()) == 0;
}

bool MakeFileLink(const std::string& target, const std::string& link) { return MakeFolderLink(target, link); }

bool IsLink(const std::string& path) { return std::filesystem::is_symlink(path); }

}  // namespace zip_test
