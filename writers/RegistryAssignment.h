// The protected-mode letters: the UserDriveLetterAssignment value of each
// device key, written at every save, and the start-up check that repairs
// CD-ROM letters when MS-DOS serves a CD-ROM of its own.
#pragma once
#include "assign/AssignmentRules.h"
#include "drives/DriveTable.h"

// The value's name in a device key: two letters, the first and the last
// of the range the device reserves.
extern const char userDriveLetterAssignment[];

// Writes one value per device group from its drives' New letters.
bool WriteRegistryAssignment(const DriveTable& table,
                             const AssignmentRules& rules);
// True to go on. With a CD-ROM served by a DOS-mode driver it deletes the
// protected-mode CD-ROMs' values, offers the reboot and returns false: the
// program must end.
bool CheckCdRomLetters(const DriveTable& table);
