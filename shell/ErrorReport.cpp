#include "shell/ErrorReport.h"

#include <stdarg.h>

#include "framework/AppWindow.h"
#include "platform/Codes.h"
#include "platform/Platform.h"

namespace {

// Room for a message with a couple of full paths and a system text.
const size_t messageSize = 1024;

void ShowError(const char* text) {
  platform::prompts().MessageBoxA(GetMainWindowHandle(), text, "Pelmora",
                                  MB_ICONERROR | MB_OK);
}

void ShowWithSystemText(uint32_t code, const char* message) {
  char* systemText = nullptr;
  uint32_t length = platform::kernel().FormatMessageA(
      FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS |
          FORMAT_MESSAGE_ALLOCATE_BUFFER,
      code, LANG_USER_DEFAULT, &systemText);
  char text[2 * messageSize];
  if (length != 0 && systemText != nullptr) {
    // The system's text as it comes, its line break included.
    platform::Format(text, sizeof text, "%s : %s", message, systemText);
  } else {
    // The system has no text for this code: show the code itself.
    platform::Format(text, sizeof text, "%s : error %lu", message,
                     static_cast<unsigned long>(code));
  }
  if (systemText != nullptr) platform::kernel().LocalFree(systemText);
  ShowError(text);
}

}  // namespace

void ReportError(const char* format, ...) {
  char message[messageSize];
  va_list args;
  va_start(args, format);
  platform::FormatV(message, sizeof message, format, args);
  va_end(args);
  ShowError(message);
}

void ReportLastError(const char* format, ...) {
  // Taken first, before formatting can disturb it.
  uint32_t code = platform::kernel().GetLastError();
  char message[messageSize];
  va_list args;
  va_start(args, format);
  platform::FormatV(message, sizeof message, format, args);
  va_end(args);
  ShowWithSystemText(code, message);
}

void ReportSystemError(uint32_t code, const char* format, ...) {
  char message[messageSize];
  va_list args;
  va_start(args, format);
  platform::FormatV(message, sizeof message, format, args);
  va_end(args);
  ShowWithSystemText(code, message);
}

void ReportCrtError(const char* format, ...) {
  platform::FileSystem& files = platform::files();
  int error = files.Errno();
  char message[messageSize];
  va_list args;
  va_start(args, format);
  platform::FormatV(message, sizeof message, format, args);
  va_end(args);
  const char* crtText = files.StrError(error);
  char text[2 * messageSize];
  if (crtText != nullptr && crtText[0] != '\0') {
    platform::Format(text, sizeof text, "%s : %s", message, crtText);
  } else {
    platform::Format(text, sizeof text, "%s : error %d", message, error);
  }
  ShowError(text);
}
