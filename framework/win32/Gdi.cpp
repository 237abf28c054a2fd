// Drawing objects over GDI, the colours of WM_CTLCOLOR... and icons from
// the program's resources.
#include "framework/Gdi.h"

#include <string.h>

#include "framework/win32/Win32Wnd.h"

CBrush::~CBrush() {
  if (handle != 0) DeleteObject(reinterpret_cast<HBRUSH>(handle));
  handle = 0;
}

bool CBrush::CreateSolidBrush(uint32_t rgb) {
  if (handle != 0) return false;
  handle = reinterpret_cast<uintptr_t>(::CreateSolidBrush(rgb));
  if (handle == 0) return false;
  color = rgb;
  return true;
}

CFont::~CFont() {
  if (handle != 0) DeleteObject(reinterpret_cast<HFONT>(handle));
  handle = 0;
}

// As MFC's CreatePointFont: the height in pixels for the device's
// vertical resolution, a negative height so that it is the characters'
// height without the leading.
bool CFont::CreatePointFont(int size, const char* name, WindowHandle window) {
  if (handle != 0 || name == nullptr) return false;
  HWND owner = ToHwnd(window);
  HDC dc = GetDC(owner);
  const int dpi = dc != nullptr ? GetDeviceCaps(dc, LOGPIXELSY) : 96;
  if (dc != nullptr) ReleaseDC(owner, dc);
  LOGFONTA lf;
  memset(&lf, 0, sizeof lf);
  lf.lfHeight = -MulDiv(size, dpi, 720);
  lf.lfWeight = FW_NORMAL;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
  lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  lf.lfQuality = DEFAULT_QUALITY;
  lf.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
  lstrcpynA(lf.lfFaceName, name, LF_FACESIZE);
  handle = reinterpret_cast<uintptr_t>(CreateFontIndirectA(&lf));
  if (handle == 0) return false;
  tenths = size;
  lstrcpynA(face, name, sizeof face);
  return true;
}

void AfxSetTextColor(uintptr_t dc, uint32_t color) {
  SetTextColor(reinterpret_cast<HDC>(dc), color);
}

void AfxSetBkColor(uintptr_t dc, uint32_t color) {
  SetBkColor(reinterpret_cast<HDC>(dc), color);
}

int AfxGetDlgCtrlID(WindowHandle window) {
  if (window == 0) return 0;
  return GetDlgCtrlID(ToHwnd(window));
}

// Size 0: the resource's own first size.
IconHandle AfxLoadIcon(unsigned id, int size) {
  return reinterpret_cast<IconHandle>(LoadImageA(GetModuleHandleA(nullptr),
                                                 MAKEINTRESOURCEA(id),
                                                 IMAGE_ICON, size, size, 0));
}
