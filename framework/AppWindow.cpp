#include "framework/AppWindow.h"

#include "framework/WinApp.h"

namespace {
WindowHandle mainWindow = 0;
}

// The one set explicitly, else the application's main window.
WindowHandle GetMainWindowHandle() {
  if (mainWindow != 0) return mainWindow;
  CWnd* main = AfxGetMainWnd();
  return main != nullptr ? main->GetSafeHwnd() : 0;
}

void SetMainWindowHandle(WindowHandle window) { mainWindow = window; }
