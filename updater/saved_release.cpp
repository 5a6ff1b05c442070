#include "updater/saved_release.h"

#include <filesystem>
#include <system_error>

#include "platform/file_io.h"

bool SaveRelease(const std::string& path, std::string_view bytes) {
  platform::AtomicFileWriter writer(path);
  return writer.SetMode(0755) && writer.Write(bytes) && writer.Commit();
}

void RemoveSavedRelease(const std::string& path) {
  std::error_code ignored;
  std::filesystem::remove(path, ignored);
}
