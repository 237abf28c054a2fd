// Quobrill's message boxes: every one is owned by the installer's window,
// whose handle comes on the command line.
#pragma once
#include "platform/Types.h"

void SetSetupOwner(WindowHandle owner);
WindowHandle GetSetupOwner();

// An error box: caption "Setup", error icon, OK.
void ShowSetupError(const char* format, ...)
    __attribute__((format(printf, 1, 2)));
// "Setup encountered error %d." in the same box.
void ShowSetupErrorCode(int code);
