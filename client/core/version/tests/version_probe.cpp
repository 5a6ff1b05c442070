// Prints its own file version; a stand-in for the shipped programs in tests.
#include <cstdio>

#include "client/core/version/version.h"

int main() {
  std::puts(ProgramVersion().c_str());
  return 0;
}
