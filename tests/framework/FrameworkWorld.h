// What the framework tests need from the world they run in: a top-level
// window to parent controls to, and the delivery of posted messages.
#pragma once
#include "framework/Wnd.h"

namespace frameworkworld {

// Creates `window` as a visible top-level window of 400 x 300 pixels, of a
// window class the world provides. False when it could not be created.
bool CreateTopWindow(CWnd* window, const char* title);

// Delivers every message posted to this thread's windows, until none is
// left.
void PumpMessages();

}  // namespace frameworkworld
