// The shell part of the Win32 platform (Win32Shell.cpp). Kept free of
// <windows.h>.
#pragma once
#include "platform/Platform.h"

namespace platform {

Shell* Win32ShellObject();

}  // namespace platform
