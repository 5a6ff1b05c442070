// Dismantor: removes the installation it sits in after asking, and keeps the user's data. Ends
// with 0 whatever happens.
#include "removal/removal.h"

int main() {
  RunDismantor(RemovalPlaces::ForUser());
  return 0;
}
