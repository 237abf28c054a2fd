// What the portable frame code needs from a backend: the program's menus
// and accelerator tables, a frame's menu, and the default place of a new
// frame.
#pragma once
#include <stdint.h>

#include "framework/Wnd.h"

struct FrameBackend {
  // 0 when the program has no such resource.
  static MenuHandle LoadMenu(unsigned resourceId);
  static uintptr_t LoadAccelerators(unsigned resourceId);
  static void DestroyMenu(MenuHandle menu);
  static bool SetMenu(CWnd* frame, MenuHandle menu);
  // Where a frame goes when nobody says (CW_USEDEFAULT on Windows).
  static CRect DefaultRect();
};
