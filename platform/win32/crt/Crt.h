// Shared by the start-up files of the programs' own runtime.
#pragma once

extern "C" {
// libgcc: runs the static constructors once and registers the destructors
// with atexit.
void __main(void);
// msvcrt: whether its run-time error messages go to a console or a box.
void __set_app_type(int type);
}

// Runs the exit handlers, flushes the streams and ends the process.
[[noreturn]] void FinishProgram(int result);
