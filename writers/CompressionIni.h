// The settings file of the disk-compression software (DRVSPACE.INI or
// DBLSPACE.INI in the boot drive's root): its FirstDrive, LastDrive and
// ActivateDrive lines, from the New letters of the compressed volumes.
#pragma once
#include <stddef.h>

#include "drives/DriveTable.h"

// The settings file's path in `path` (at least 260 characters); false when
// neither file exists.
bool FindCompressionIni(const DriveTable& table, char* path, size_t size);
// Rewrites the settings file through DrvSpIni.tmp in the program's
// directory, keeping its other lines and its attributes, dated 30 seconds
// back.
bool UpdateCompressionIni(const DriveTable& table);
