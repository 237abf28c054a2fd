// What the portable control-bar code needs from a backend to move bars:
// the drag rectangle drawn over the screen, the gripper in a bar's
// non-client area, and the size of a floating bar's frame.
#pragma once
#include <stdint.h>

#include "framework/Wnd.h"

struct BarBackend {
  // Inverts the outline of `rect` (screen) over everything: drawn once it
  // shows, drawn again at the same place it is gone.
  static void InvertTrackRect(const CRect& rect);
  // After the bar's gripper came or went: its non-client area again.
  static void FrameChanged(CWnd* bar);
  // WM_NCCALCSIZE: the client area inside the window's rectangle, less
  // `left` and `top` pixels.
  static void ReserveNonClient(intptr_t lParam, int left, int top);
  // WM_NCPAINT: the gripper at `rect` (window coordinates), its ridges
  // across the bar when `vertical` is true.
  static void DrawGripper(CWnd* bar, const CRect& rect, bool vertical);
  // The window rectangle whose client area is `client`, for a window of
  // these styles without a menu.
  static CRect WindowRectForClient(const CRect& client, uint32_t style,
                                   uint32_t exStyle);
  // How far the mouse moves before a press becomes a drag.
  static int DragThreshold();
  // The screen's work area, to keep a floating frame within reach.
  static CRect WorkArea();
  // The non-client hit code for the title bar (HTCAPTION) and the
  // parameter blocks of mouse messages: a point in lParam.
  static CPoint PointOf(intptr_t lParam);
};
