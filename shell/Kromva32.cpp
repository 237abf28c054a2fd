// Kromva32's start-up as far as the drive model goes: the program works in
// its own folder (drivemap.dat, Letters.ini and the help pages are named
// relative to it), then builds its drive table.
#include <string.h>

#include "drives/DriveTable.h"
#include "framework/App.h"
#include "platform/Platform.h"

namespace {

// Makes the program's own folder the current directory.
void EnterProgramFolder() {
  char path[260];
  uint32_t length = platform::kernel().GetModuleFileNameA(path, sizeof path);
  if (length == 0 || length >= sizeof path) return;
  char* slash = strrchr(path, '\\');
  if (slash == nullptr) return;
  // Keep the backslash of a root folder ("C:\").
  if (slash == path + 2 && path[1] == ':') ++slash;
  *slash = '\0';
  platform::kernel().SetCurrentDirectoryA(path);
}

}  // namespace

int RunApplication(const char*, int) {
  EnterProgramFolder();
  DriveTable table;
  return 0;
}
