// Quobrill's start: windowless, everything happens in message boxes and
// the final dialog.
#include "framework/App.h"
#include "setup/Quobrill.h"

int RunApplication(const char* commandLine, int) {
  return RunQuobrill(commandLine);
}
