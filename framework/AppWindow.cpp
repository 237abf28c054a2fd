#include "framework/AppWindow.h"

namespace {
WindowHandle mainWindow = 0;
}

WindowHandle GetMainWindowHandle() { return mainWindow; }
void SetMainWindowHandle(WindowHandle window) { mainWindow = window; }
