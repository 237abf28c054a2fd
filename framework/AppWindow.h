// The application's main window, as the framework knows it: error boxes
// and questions are owned by it when it exists.
#pragma once
#include "platform/Types.h"

WindowHandle GetMainWindowHandle();
void SetMainWindowHandle(WindowHandle window);
