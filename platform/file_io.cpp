// What file_io does the same way on every platform, over the platform's AtomicFileWriter.
#include "platform/file_io.h"

namespace platform {

bool WriteFileAtomically(const std::string& path, std::string_view bytes, FileAccess access) {
  AtomicFileWriter writer(path, access);
  return writer.Write(bytes) && writer.Commit();
}

}  // namespace platform
