// The entry point of a windowed product program, in place of mingw's
// crt2.o (which uses CMOV and imports functions Windows 95 lacks): command
// line and show command as msvcrt's own WinMain start-up gives them, static
// constructors, WinMain, exit.
#include <windows.h>

#include "platform/win32/crt/Crt.h"

extern "C" int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous,
                              LPSTR commandLine, int showCommand);

namespace {

// The command line after the program name, skipped as msvcrt's WinMain
// start-up does: a quoted name ends at the next quote, an unquoted one at
// the first blank; blanks after it are skipped too.
char* CommandLineArguments() {
  char* p = GetCommandLineA();
  if (*p == '"') {
    ++p;
    while (*p && *p != '"') ++p;
    if (*p == '"') ++p;
  } else {
    while (static_cast<unsigned char>(*p) > ' ') ++p;
  }
  while (*p && static_cast<unsigned char>(*p) <= ' ') ++p;
  return p;
}

}  // namespace

extern "C" {

// The entry point of a windowed program. On i686 Windows gives the entry
// point a 4-byte aligned stack; gcc may want more.
#ifdef __i386__
__attribute__((force_align_arg_pointer))
#endif
[[noreturn]] void
WinMainCRTStartup(void) {
  __set_app_type(2);  // _GUI_APP
  STARTUPINFOA startup;
  startup.cb = sizeof(startup);
  GetStartupInfoA(&startup);
  int showCommand = (startup.dwFlags & STARTF_USESHOWWINDOW)
                        ? startup.wShowWindow
                        : SW_SHOWDEFAULT;
  char* arguments = CommandLineArguments();
  __main();
  FinishProgram(
      WinMain(GetModuleHandleA(nullptr), nullptr, arguments, showCommand));
}

}  // extern "C"
