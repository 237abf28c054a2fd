// The cursor and system metrics over Win32.
#include "framework/System.h"

#include <windows.h>
// After <windows.h>, which it needs.
#include <commctrl.h>

IconHandle AfxLoadStandardCursor(unsigned id) {
  return reinterpret_cast<IconHandle>(
      LoadCursorA(nullptr, MAKEINTRESOURCEA(id)));
}

int AfxGetSystemMetrics(int index) { return GetSystemMetrics(index); }

int AfxShowCursor(bool show) { return ShowCursor(show ? TRUE : FALSE); }

bool AfxGetCursorPos(CPoint* point) {
  POINT p;
  if (!GetCursorPos(&p)) return false;
  point->x = p.x;
  point->y = p.y;
  return true;
}

void AfxInitCommonControls() { InitCommonControls(); }

void AfxOutputDebugString(const char* text) { OutputDebugStringA(text); }
