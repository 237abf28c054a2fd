// Kromva32: the program's one application object; the framework's entry
// runs it.
#include "framework/App.h"
#include "shell/PelmoraApp.h"

namespace {
PelmoraApp theApp;
}

int RunApplication(const char*, int) { return AfxWinMain(); }
