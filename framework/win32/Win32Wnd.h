// What the win32 backend's files share: the Windows headers without the
// macros that would rename the framework's own methods (SendMessage is
// SendMessageA to <windows.h>), and the conversions between a window
// object and its HWND.
#pragma once
// <windows.h> first: <commctrl.h> needs its types.
#include <windows.h>
// Separate, so that sorting includes keeps it after <windows.h>.
#include <commctrl.h>

#undef SendMessage
#undef PostMessage
#undef DefWindowProc
#undef AppendMenu
#undef GetMenuString

#include "framework/Wnd.h"

inline HWND ToHwnd(WindowHandle window) {
  return reinterpret_cast<HWND>(window);
}

inline HWND HwndOf(const CWnd* window) {
  return window != nullptr ? ToHwnd(window->GetSafeHwnd()) : nullptr;
}

inline WindowHandle FromHwnd(HWND window) {
  return reinterpret_cast<WindowHandle>(window);
}
