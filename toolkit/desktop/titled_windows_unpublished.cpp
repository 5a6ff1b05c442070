// Where the window registry has no side of its own yet, nothing is published: on Windows the titled
// windows are real top-level windows with their titles, which the system finds by title itself.
#include "toolkit/desktop/desktop.h"

namespace toolkit {

void PublishTitledWindows() {}

}  // namespace toolkit
