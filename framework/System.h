// The mouse cursor and system metrics, for portable code over the
// framework; MFC-era names where MFC has them.
#pragma once
#include <stdint.h>

#include "framework/Wnd.h"
#include "platform/Types.h"

// Standard cursors (LoadCursor with no module) and metrics.
const unsigned kIdcArrow = 32512;
const unsigned kIdcNo = 32648;
const int kSmCxCursor = 13;
const int kSmCyCursor = 14;

// A standard cursor; shared, never destroyed. 0 when it cannot be loaded.
IconHandle AfxLoadStandardCursor(unsigned id);
int AfxGetSystemMetrics(int index);
// ShowCursor: the display count after the call (the cursor shows while it
// is 0 or more).
int AfxShowCursor(bool show);
// The cursor position in screen coordinates.
bool AfxGetCursorPos(CPoint* point);

// InitCommonControls.
void AfxInitCommonControls();
// A line for a debugger (OutputDebugStringA); the user never sees it.
void AfxOutputDebugString(const char* text);
