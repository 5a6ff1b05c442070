#include "common/http/response_buffer.h"

namespace http {

// Large pages on Windows are a privilege an ordinary user lacks and cannot be asked for after the
// allocation: a body takes the system's small pages.
void ResponseBuffer::AskForLargePages() {}

}  // namespace http
