// Exit handling of the programs' own start-up code: the atexit list that
// libgcc's constructor runner and gcc's static destructors register with,
// and the end of the program.
#include <stdlib.h>
#include <windows.h>

#include "platform/win32/crt/Crt.h"

extern "C" int _flushall(void);

namespace {

// One registered exit handler. Handlers run in reverse order of
// registration, those from atexit and __cxa_atexit interleaved as
// registered, as the C++ standard asks.
struct ExitHandler {
  void (*plain)(void);
  void (*withArgument)(void*);
  void* argument;
  ExitHandler* next;
};

ExitHandler* exitHandlers = nullptr;

int AddExitHandler(void (*plain)(void), void (*withArgument)(void*),
                   void* argument) {
  ExitHandler* handler = static_cast<ExitHandler*>(malloc(sizeof(ExitHandler)));
  if (!handler) return -1;
  handler->plain = plain;
  handler->withArgument = withArgument;
  handler->argument = argument;
  handler->next = exitHandlers;
  exitHandlers = handler;
  return 0;
}

// A handler may register another one; it runs next, as with msvcrt.
void RunExitHandlers() {
  while (exitHandlers) {
    ExitHandler* handler = exitHandlers;
    exitHandlers = handler->next;
    if (handler->plain) {
      handler->plain();
    } else {
      handler->withArgument(handler->argument);
    }
    free(handler);
  }
}

}  // namespace

[[noreturn]] void FinishProgram(int result) {
  RunExitHandlers();
  // Streams a program left open still reach the disk.
  _flushall();
  ExitProcess(static_cast<UINT>(result));
}

extern "C" {

// gcc passes it to __cxa_atexit for static objects with destructors.
void* __dso_handle = &__dso_handle;

int atexit(void (*function)(void)) {
  return AddExitHandler(function, nullptr, nullptr);
}

int __cxa_atexit(void (*function)(void*), void* argument, void*) {
  return AddExitHandler(nullptr, function, argument);
}

void __cxa_pure_virtual(void) {
  FatalAppExitA(0, "Pure virtual function call.");
  ExitProcess(255);
}

}  // extern "C"
