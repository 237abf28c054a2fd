// Setup.exe's start: its dialogs do the rest.
#include "framework/App.h"
#include "setup/SetupWindow.h"

int RunApplication(const char* commandLine, int) {
  return RunSetup(commandLine);
}
