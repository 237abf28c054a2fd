// Saving an assignment: the completeness check, the assignment file
// Letters.ini that the DOS-mode companion KROMVALE.EXE applies at every
// boot, and the order in which a save runs every writer (the view's
// SaveAssignment, in SaveSequence.cpp).
#pragma once
#include "assign/AssignmentRules.h"
#include "drives/DriveTable.h"
#include "platform/Types.h"

// The assignment file, in the program's directory (the current one).
extern const char lettersIniName[];

// True when every drive whose letter may change has a New letter; else
// says so in a box owned by `owner`. Drives whose letter may not change may
// stay without one.
bool CheckAssignmentComplete(AssignmentRules& rules, const DriveTable& table,
                             WindowHandle owner);

// Writes Letters.ini whole: one line per New letter of a drive the companion
// places (removable and RAM drives by their original letter, hard disks by
// serial number or by label), then the line naming the Windows drive.
// Reports its own failures; a line that cannot be formed is left out and
// the others are still written.
bool WriteLettersIni(const DriveTable& table, bool bySerial);
