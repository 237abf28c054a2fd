// The drive probes: what Windows' ordinary calls do not tell about a drive,
// asked from real-mode DOS, the BIOS and DriveSpace through the driver.
// Every probe first asks whether the driver is open and leaves its fixed
// defaults, silently, when it is not.
#pragma once
#include "platform/Types.h"

class DriveTable;

// DriveSpace presence and the drive mapping of all 26 drive numbers; once
// per build, before any row.
void queryDriveSpaceMapping(DriveTable& table);
// compressionRole, swapped, swapPartner, hostLetter, cvfSequence and
// hostedLetters of the record, from the mapping alone.
void deriveCompressionRole(DriveTable& table, int index);
// The DOS device type byte of a removable drive (0 .. 9), 0xFF when it
// cannot be told.
uint8_t queryRemovableDeviceType(DriveTable& table, int index);
// protectedModeOnly, int13Unit and dosCdRom; needs driveType.
void probeProtectedModeStatus(DriveTable& table, int index);
// deviceNode and deviceKeyPath; needs protectedModeOnly and dosCdRom.
void probeDeviceKey(DriveTable& table, int index);
// letterGroup, creating the group (and reading its letter count from the
// device key) at the first letter of a device.
void probeLetterGroup(DriveTable& table, int index);
// sharesPhysicalDrive; needs dosCdRom.
void probeSharedPhysicalDrive(DriveTable& table, int index);
// Label, serial number and file system from the boot sector of the
// record's BIOS unit; the result is volumeInfoValid. The caller decides
// when to use it (floppy units, driver open).
int32_t readBootSectorVolume(DriveTable& table, int index);
