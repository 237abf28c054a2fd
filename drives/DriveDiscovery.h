// Describing one found drive: its type, the probes in their fixed order,
// volume information and sizes, and the texts of its row.
#pragma once
#include <stddef.h>

#include "drives/DriveTable.h"

class AssignmentRules;

// The logical columns of the drive list, in their initial order.
enum DriveColumn {
  columnNew,
  columnOld,
  columnHidden,
  columnLabel,
  columnType,
  columnCompression,
  columnFileSystem,
  columnTotalSize,
  columnFreeSpace,
  columnSerial,
  driveColumnCount
};

extern const char* const driveColumnTitles[driveColumnCount];

struct DriveRowTexts {
  char text[driveColumnCount][64];
};

// The type name of the drive at "X:\"; stores driveType (4 for a letter
// known only as a persistent connection). Reports a type it cannot tell.
const char* describeDriveType(DriveTable& table, const char* root);
// Total and free size in KB: 1 on success, 0 with both 0 otherwise.
int32_t readDiskSpace(const char* root, uint32_t* totalKb, uint32_t* freeKb);
// Label, serial number and file system: through the BIOS for the floppy
// units while the driver is open, otherwise from Windows.
void readVolumeInformation(DriveTable& table, int index, const char* root);
// Everything a row shows, in the order later steps need: the record is
// marked present with its shell item, probed, described, its pending New
// letter re-checked (silently), and the texts of all ten columns are
// filled. Sets *compressionSeen when the drive has a compression text.
void describeDriveRow(DriveTable& table, AssignmentRules& rules,
                      const char* root, ItemIdList* shellItem, bool hidden,
                      DriveRowTexts* texts, int32_t* compressionSeen);
