// FormatV in PE builds: msvcrt's _vsnprintf, whose result neither
// terminates a buffer it fills nor says how long the text would have been.
// Declared by hand: libstdc++'s headers would switch <stdio.h> to mingw's
// own printf, which is not in msvcrt.dll.
#include <stdarg.h>
#include <stddef.h>

#include "platform/Platform.h"

extern "C" int _vsnprintf(char* buffer, size_t count, const char* format,
                          va_list args);

namespace platform {

int FormatV(char* buffer, size_t size, const char* format, va_list args) {
  // Not even the terminator fits.
  if (size == 0) return -1;
  // One place is kept for the terminator, which _vsnprintf leaves out when
  // the text fills the count exactly.
  int length = _vsnprintf(buffer, size - 1, format, args);
  buffer[size - 1] = '\0';
  if (length < 0) return -1;
  buffer[length] = '\0';
  return length;
}

}  // namespace platform
