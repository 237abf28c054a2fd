// The seam's formatting over the host C library.
#include <stdio.h>

#include "platform/Platform.h"

namespace platform {

int FormatV(char* buffer, size_t size, const char* format, va_list args) {
  if (size == 0) return -1;
  int length = vsnprintf(buffer, size, format, args);
  if (length < 0) {
    buffer[0] = '\0';
    return -1;
  }
  if (size_t(length) >= size) {
    buffer[size - 1] = '\0';
    return -1;
  }
  return length;
}

}  // namespace platform
