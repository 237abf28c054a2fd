#include "drives/DriveDescription.h"

#include <string.h>

#include "platform/Codes.h"
#include "platform/Platform.h"

const char* removableTypeName(uint8_t dosDeviceType) {
  switch (dosDeviceType) {
    case 0:
    case 1:
      return "5.25 Inch Floppy";
    case 2:
    case 7:
    case 9:
      return "3.5 Inch Floppy";
    case 3:
    case 4:
      return "8 Inch Floppy";
    case 6:
      return "Tape";
    case 8:
      return "Optical";
    default:
      return "Removable";
  }
}

const char* fixedTypeName(int32_t driveType) {
  switch (driveType) {
    case DRIVE_FIXED:
      return "Fixed";
    case DRIVE_REMOTE:
      return "Network";
    case DRIVE_CDROM:
      return "CD-ROM";
    case DRIVE_RAMDISK:
      return "RAM";
    default:
      return nullptr;
  }
}

void formatSizeText(uint32_t kb, char* buffer, size_t size) {
  if (kb < 0x100000u) {
    platform::Format(buffer, size, "%.2f MB", kb / 1024.0);
  } else {
    platform::Format(buffer, size, "%.2f GB", kb / 1048576.0);
  }
}

void describeCompression(const DriveRecord& record, char* buffer, size_t size) {
  if (size == 0) return;
  buffer[0] = '\0';
  if (record.compressionRole == 1) {
    platform::Format(buffer, size, "Compressed #%d on %c%s",
                     static_cast<int>(record.cvfSequence), record.hostLetter,
                     record.swapped ? ", swapped" : "");
  } else if (record.compressionRole == 2) {
    char letters[2 * DriveTable::driveCount + 1];
    size_t length = 0;
    const char* hosted = record.hostedLetters ? record.hostedLetters : "";
    size_t count = strlen(hosted);
    for (size_t i = 0; i < count && i < DriveTable::driveCount; ++i) {
      if (i > 0) letters[length++] = ',';
      letters[length++] = hosted[i];
    }
    letters[length] = '\0';
    // The partner is named only for a host of several volumes, and only
    // when it has one: a NUL letter would cut the text short.
    char partner[8] = "";
    if (count > 1 && record.swapPartner != 0)
      platform::Format(partner, sizeof partner, " with %c", record.swapPartner);
    platform::Format(buffer, size, "Host for %s%s%s", letters,
                     record.swapped ? ", swapped" : "", partner);
  }
}

char firstDriveSpaceLetterOf(const DriveTable& table) {
  char highest = 'C';
  for (int i = 0; i < DriveTable::driveCount; ++i) {
    const DriveRecord& r = table.record(i);
    if (!r.present || r.protectedModeOnly || r.driveType == DRIVE_CDROM)
      continue;
    if (r.compressionRole == 1 && !r.swapped) continue;
    if (r.compressionRole == 2 && r.swapped) continue;
    char original = table.originalLetterOf(static_cast<char>('A' + i));
    if (original != 0 && original > highest) highest = original;
  }
  return static_cast<char>(highest + 1);
}
