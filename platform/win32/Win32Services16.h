// The 16-bit services of the Win32 platform: real on i686 Windows 9x
// (Services16.cpp), reported missing in every other PE build
// (Services16Missing.cpp). Kept free of <windows.h>.
#pragma once
#include "platform/Platform.h"

namespace platform {

Services16* Win32Services16();

}  // namespace platform
