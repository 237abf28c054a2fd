// The console form of the probe: proves mainCRTStartup, msvcrt's argument
// parsing and a console program's link. Writes its arguments after the
// first (the output file) one per line, in brackets.
#include "platform/ScopedFile.h"
#include "platform/win32/Win32Platform.h"

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  platform::PlatformScope scope(platform::Win32Platform());
  ScopedFile file;
  if (!file.Open(argv[1], "wt")) return 1;
  char line[300];
  platform::Format(line, sizeof(line), "argc=%d\n", argc);
  platform::files().Puts(line, file.Get());
  for (int i = 2; i < argc; ++i) {
    if (platform::Format(line, sizeof(line), "[%s]\n", argv[i]) < 0) return 1;
    platform::files().Puts(line, file.Get());
  }
  return !file.Error() && file.Close() ? 0 : 1;
}
