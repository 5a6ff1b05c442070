// Stands in for the installer where a script cannot: leaves the folder it was started in beside
// itself, in "started".
#include "bootstrap/work_folder.h"
#include "platform/file_io.h"
#include "platform/paths.h"

int main() {
  return platform::WriteFileAtomically(platform::JoinPath(platform::ExecutableFolder(), "started"), StartFolder() + "\n")
             ? 0
             : 1;
}
