#include "platform/Platform.h"

namespace platform {

namespace {
Platform installed = {nullptr, nullptr, nullptr, nullptr,
                      nullptr, nullptr, nullptr};
}

Platform& Current() { return installed; }

PlatformScope::PlatformScope(const Platform& platform) : previous(installed) {
  installed = platform;
}

PlatformScope::~PlatformScope() { installed = previous; }

int Format(char* buffer, size_t size, const char* format, ...) {
  va_list args;
  va_start(args, format);
  int length = FormatV(buffer, size, format, args);
  va_end(args);
  return length;
}

}  // namespace platform
