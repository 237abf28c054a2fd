// What the framework tests need from the world they run in: a top-level
// window to parent controls to, and the delivery of posted messages.
#pragma once
#include "framework/Dialog.h"
#include "framework/Wnd.h"

namespace frameworkworld {

// Creates `window` as a visible top-level window of 400 x 300 pixels, of a
// window class the world provides. False when it could not be created.
bool CreateTopWindow(CWnd* window, const char* title);

// Delivers every message posted to this thread's windows, until none is
// left.
void PumpMessages();

// Runs `dialog` modally from the test program's own templates
// (DialogTest.rc), with nobody acting in it: what the test does happens in
// the dialog's OnInitDialog, which must end it. DoModal's result.
intptr_t RunDialog(CDialog& dialog);

}  // namespace frameworkworld
