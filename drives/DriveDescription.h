// The texts of a drive's row that follow from its record alone.
#pragma once
#include <stddef.h>

#include "drives/DriveTable.h"

// The type name of a removable drive by the DOS device type byte (0xFF when
// the probe failed or the driver is not open).
const char* removableTypeName(uint8_t dosDeviceType);
// The type name of a GetDriveTypeA code other than removable; null for a
// code with no name of its own (unknown, no root, anything else).
const char* fixedTypeName(int32_t driveType);
// Megabytes below 1048576 KB, gigabytes from there, two decimals.
void formatSizeText(uint32_t kb, char* buffer, size_t size);
// The "Compression" column: empty for a drive outside DriveSpace.
void describeCompression(const DriveRecord& record, char* buffer, size_t size);
// The lowest letter DriveSpace may give a compressed drive: one above the
// highest original letter of the drives DOS letters first.
char firstDriveSpaceLetterOf(const DriveTable& table);
