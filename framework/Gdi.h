// The few drawing objects the dialogs use, owned by their wrappers (the
// destructor deletes the object), and the colours of WM_CTLCOLOR....
#pragma once
#include <stdint.h>

#include "platform/Types.h"

// A COLORREF: 0x00BBGGRR.
constexpr uint32_t RGB(unsigned r, unsigned g, unsigned b) {
  return (r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16);
}

class CBrush {
 public:
  CBrush() {}
  ~CBrush();
  CBrush(const CBrush&) = delete;
  CBrush& operator=(const CBrush&) = delete;
  bool CreateSolidBrush(uint32_t color);
  uintptr_t GetSafeHandle() const { return handle; }
  // Headless: the colour it was made with.
  uint32_t color = 0;

 private:
  uintptr_t handle = 0;
};

class CFont {
 public:
  CFont() {}
  ~CFont();
  CFont(const CFont&) = delete;
  CFont& operator=(const CFont&) = delete;
  // CreatePointFont: a font of `tenths` tenths of a point in `face`, sized
  // for the screen of `window`'s device context (0: the screen).
  bool CreatePointFont(int tenths, const char* face, WindowHandle window = 0);
  uintptr_t GetSafeHandle() const { return handle; }
  // Headless: what it was made with.
  int tenths = 0;
  char face[32] = {0};

 private:
  uintptr_t handle = 0;
};

// In a WM_CTLCOLOR... handler: the device context's colours.
void AfxSetTextColor(uintptr_t dc, uint32_t color);
void AfxSetBkColor(uintptr_t dc, uint32_t color);
// The control id of a window (any window, not only CWnd ones); 0 for none.
int AfxGetDlgCtrlID(WindowHandle window);
// An icon resource of the program at a size (LoadImage); 0 when missing.
IconHandle AfxLoadIcon(unsigned id, int size);
