// Leaving the program: the close query with its save and reboot questions,
// Disable and Exit, and the start-up check that stops the program when the
// compression software changed its settings since the last boot (the
// view's QueryClose, DisableAndExit and CheckDriveSpaceLaunched, in
// ExitCommands.cpp).
#pragma once
#include "drives/DriveTable.h"

// Asks the system to restart; the close goes on whether or not it agrees.
void RequestReboot();

// True to go on. When the compression settings file is newer than both the
// last start of Windows and the last Letters.ini, offers the reboot and
// returns false: the program must end.
bool CheckDriveSpaceLaunched(const DriveTable& table);
