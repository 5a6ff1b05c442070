// Bootwyn: the one file handed to users. Writes the installer it carries into a fresh temporary
// folder and starts it there; ends with 0 whatever happens.
#include "bootstrap/bootstrap.h"

int main() {
  RunBootwyn(BootPlaces::ForUser());
  return 0;
}
