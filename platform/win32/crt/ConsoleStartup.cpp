// The entry point of a console product program: arguments parsed by
// msvcrt's own parser, static constructors, main, exit.
#include <windows.h>

#include "platform/win32/crt/Crt.h"

extern "C" {
int main(int argc, char** argv, char** envp);

// msvcrt's argument parser, the one its own start-up code uses.
struct MsvcrtStartupInfo {
  int newMode;
};
int __getmainargs(int* argc, char*** argv, char*** envp, int expandWildcards,
                  MsvcrtStartupInfo* startupInfo);
}

extern "C" {

// The entry point of a console program.
#ifdef __i386__
__attribute__((force_align_arg_pointer))
#endif
[[noreturn]] void
mainCRTStartup(void) {
  __set_app_type(1);  // _CONSOLE_APP
  int argc = 0;
  char** argv = nullptr;
  char** envp = nullptr;
  MsvcrtStartupInfo startupInfo = {0};
  if (__getmainargs(&argc, &argv, &envp, 0, &startupInfo) < 0) {
    FatalAppExitA(0, "Not enough memory for the command line.");
    ExitProcess(255);
  }
  __main();
  FinishProgram(main(argc, argv, envp));
}

}  // extern "C"
