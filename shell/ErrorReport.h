// The one way every part of the program tells the user that an operation
// failed: an error box captioned "Pelmora", owned by the main window.
// The format is the program's own; arguments are never used as formats.
#pragma once
#include "platform/Types.h"

void ReportError(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Appends " : " and the system's text for the calling thread's last error;
// call it directly after the failing system call.
void ReportLastError(const char* format, ...)
    __attribute__((format(printf, 1, 2)));
// Appends " : " and the system's text for the given code (as the registry
// calls return it).
void ReportSystemError(uint32_t code, const char* format, ...)
    __attribute__((format(printf, 2, 3)));
// Appends " : " and the runtime library's text for the current errno.
void ReportCrtError(const char* format, ...)
    __attribute__((format(printf, 1, 2)));
