// The MS-DOS start-up files of the boot drive: the MSCDEX command line's
// /L: option in CONFIG.SYS and AUTOEXEC.BAT, and the LASTDRIVE= line at the
// head of CONFIG.SYS. Both rewrite through temp.tmp in the program's
// directory; each reports its own failures.
#pragma once
#include "drives/DriveTable.h"

// Gives MSCDEX the New letter of the one CD-ROM MS-DOS sees, or comments
// every active MSCDEX line out (after a warning) when it sees several.
bool UpdateMscdexLines(const DriveTable& table);
// Makes "LASTDRIVE=<letter>" the first line of CONFIG.SYS and drops every
// other line that starts with LASTDRIVE=.
bool SetLastDrive(const DriveTable& table, char letter);
