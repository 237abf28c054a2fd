// tests/wine/installer.sh's shortcut reader: prints a shortcut file's
// target, arguments, working folder and description, one a line, as the
// seam's ReadShellLink gets them from IShellLinkA.
//
//   linkreader LINK
#include <string.h>

#include "platform/Platform.h"
#include "platform/win32/Win32Platform.h"

// msvcrt's low-level write: the freestanding build has no printf of its own.
extern "C" int _write(int file, const void* buffer, unsigned count);

namespace {

void Out(const char* text) { _write(1, text, unsigned(strlen(text))); }

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    Out("usage: linkreader LINK\n");
    return 2;
  }
  platform::PlatformScope scope(platform::Win32Platform());
  platform::ShellLinkInfo link;
  int32_t result = platform::shell().ReadShellLink(argv[1], &link);
  char text[1200];
  if (result != 0) {
    platform::Format(text, sizeof text, "linkreader: %s: error 0x%08lX\n",
                     argv[1],
                     static_cast<unsigned long>(static_cast<uint32_t>(result)));
    Out(text);
    return 1;
  }
  platform::Format(text, sizeof text, "%s\n%s\n%s\n%s\n", link.target,
                   link.arguments, link.directory, link.description);
  Out(text);
  return 0;
}
