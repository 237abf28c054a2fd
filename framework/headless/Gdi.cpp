// Drawing objects in memory: each remembers what it was made of, and the
// device contexts of WM_CTLCOLOR... remember their colours.
#include "framework/Gdi.h"

#include <stdio.h>
#include <string.h>

#include "framework/headless/Windows.h"

namespace {
uintptr_t nextObject = 0x20000;
}

CBrush::~CBrush() { handle = 0; }

bool CBrush::CreateSolidBrush(uint32_t rgb) {
  if (handle != 0) return false;
  color = rgb;
  handle = nextObject++;
  return true;
}

CFont::~CFont() { handle = 0; }

bool CFont::CreatePointFont(int size, const char* name, WindowHandle) {
  if (handle != 0 || name == nullptr) return false;
  tenths = size;
  snprintf(face, sizeof face, "%s", name);
  handle = nextObject++;
  return true;
}

void AfxSetTextColor(uintptr_t dc, uint32_t color) {
  headless::DcColors& colors = headless::ColorsOf(dc);
  colors.text = color;
  colors.textSet = true;
}

void AfxSetBkColor(uintptr_t dc, uint32_t color) {
  headless::DcColors& colors = headless::ColorsOf(dc);
  colors.background = color;
  colors.backgroundSet = true;
}

// Icons are numbers headless; any id names one.
IconHandle AfxLoadIcon(unsigned id, int size) {
  return 0x1C0000 + (static_cast<IconHandle>(id) << 8) +
         static_cast<IconHandle>(size);
}
