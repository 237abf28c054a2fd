#include "setup/SetupMessages.h"

#include <stdarg.h>

#include "platform/Codes.h"
#include "platform/Platform.h"

namespace {
WindowHandle owner = 0;
}

void SetSetupOwner(WindowHandle window) { owner = window; }
WindowHandle GetSetupOwner() { return owner; }

void ShowSetupError(const char* format, ...) {
  // Room for a message with a full path.
  char text[512];
  va_list args;
  va_start(args, format);
  platform::FormatV(text, sizeof text, format, args);
  va_end(args);
  platform::prompts().MessageBoxA(owner, text, "Setup", MB_ICONERROR | MB_OK);
}

void ShowSetupErrorCode(int code) {
  ShowSetupError("Setup encountered error %d.", code);
}
