// The real platform: the seam over Win32, advapi32, shell32, user32 and
// msvcrt's streams. Kept free of <windows.h> so portable code and tests can
// include it.
#pragma once
#include "platform/Platform.h"

namespace platform {

// The process-wide Win32 platform; the parts are static objects, so the
// result may be installed any number of times.
Platform Win32Platform();

}  // namespace platform
