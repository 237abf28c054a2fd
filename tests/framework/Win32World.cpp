// The framework tests' world in the wine build: real windows and controls,
// the top-level ones of a plain class registered here, and the thread's
// message queue.
#include "framework/win32/Win32Wnd.h"
#include "tests/framework/FrameworkWorld.h"

namespace frameworkworld {

namespace {

const char className[] = "PelmoraTestWindow";

bool RegisterTestClass() {
  static bool registered = false;
  if (registered) return true;
  WNDCLASSA wc = {};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512) /* IDC_ARROW */);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = className;
  registered = RegisterClassA(&wc) != 0;
  return registered;
}

}  // namespace

bool CreateTopWindow(CWnd* window, const char* title) {
  if (!RegisterTestClass()) return false;
  return window->CreateEx(0, className, title, WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                          CRect(40, 30, 440, 330), nullptr, 0);
}

intptr_t RunDialog(CDialog& dialog) { return dialog.DoModal(); }

void PumpMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) break;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

}  // namespace frameworkworld
