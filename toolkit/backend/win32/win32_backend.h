#pragma once
// What the Win32 backend offers beyond the Backend seam, for its tests and tools.

#include <string>

#include "toolkit/core/backend.h"

namespace toolkit {

// Paints a real window as it shows (outside its region transparent) into a PNG file; false when
// window is not a Win32 window or the file cannot be written.
bool SaveWindowPicture(NativeWindow* window, const std::string& path);

}  // namespace toolkit
