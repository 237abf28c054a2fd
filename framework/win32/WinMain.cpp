// The windowed programs' WinMain: installs the real platform for the whole
// run and hands over to the program.
#include <windows.h>

#include "framework/App.h"
#include "platform/win32/Win32Platform.h"

extern "C" int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine,
                              int showCommand) {
  platform::PlatformScope scope(platform::Win32Platform());
  return RunApplication(commandLine, showCommand);
}
