#include "drives/DriveDiscovery.h"

#include <string.h>

#include "assign/AssignmentRules.h"
#include "drives/DriveDescription.h"
#include "drives/DriveProbes.h"
#include "platform/Codes.h"
#include "platform/Platform.h"
#include "shell/ErrorReport.h"

const char* const driveColumnTitles[driveColumnCount] = {
    "New",         "Old",         "Hid",        "Label",      "Type",
    "Compression", "File System", "Total Size", "Free Space", "Serial"};

namespace {

int IndexOfRoot(const char* root) { return root[0] - 'A'; }

void Copy(char* target, size_t size, const char* text) {
  platform::Format(target, size, "%s", text);
}

}  // namespace

const char* describeDriveType(DriveTable& table, const char* root) {
  const int index = IndexOfRoot(root);
  DriveRecord& record = table.record(index);
  record.driveType =
      static_cast<int32_t>(platform::kernel().GetDriveTypeA(root));
  if (record.driveType == DRIVE_REMOVABLE)
    return removableTypeName(queryRemovableDeviceType(table, index));
  if (const char* name = fixedTypeName(record.driveType)) return name;
  if (table.hasPersistentConnection(index)) {
    record.driveType = DRIVE_REMOTE;
    return fixedTypeName(DRIVE_REMOTE);
  }
  ReportError("Error determining the type of drive %c.", root[0]);
  return "Unknown";
}

int32_t readDiskSpace(const char* root, uint32_t* totalKb, uint32_t* freeKb) {
  platform::Kernel& kernel = platform::kernel();
  uint64_t toCaller = 0, total = 0, totalFree = 0;
  if (kernel.GetDiskFreeSpaceExA(root, &toCaller, &total, &totalFree)) {
    *totalKb = static_cast<uint32_t>(total >> 10);
    *freeKb = static_cast<uint32_t>(toCaller >> 10);
    return 1;
  }
  uint32_t sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0,
           totalClusters = 0;
  if (kernel.GetDiskFreeSpaceA(root, &sectorsPerCluster, &bytesPerSector,
                               &freeClusters, &totalClusters)) {
    // In 64 bits: the product passes 4 GB before the shift on large disks.
    const uint64_t cluster = uint64_t(bytesPerSector) * sectorsPerCluster;
    *totalKb = static_cast<uint32_t>((cluster * totalClusters) >> 10);
    *freeKb = static_cast<uint32_t>((cluster * freeClusters) >> 10);
    return 1;
  }
  *totalKb = 0;
  *freeKb = 0;
  return 0;
}

void readVolumeInformation(DriveTable& table, int index, const char* root) {
  DriveRecord& record = table.record(index);
  if ((record.int13Unit == 0x00 || record.int13Unit == 0x01) &&
      record.compressionRole != 1 && table.driverLink.isDriverOpen()) {
    readBootSectorVolume(table, index);
    return;
  }
  uint32_t serial = 0, maxComponent = 0, flags = 0;
  record.volumeInfoValid = platform::kernel().GetVolumeInformationA(
      root, record.volumeLabel, sizeof record.volumeLabel, &serial,
      &maxComponent, &flags, record.fileSystem, sizeof record.fileSystem);
  if (record.volumeInfoValid) {
    record.serialNumber = serial;
    record.formatSerialText();
    return;
  }
  if (record.driveType == DRIVE_FIXED)
    ReportLastError("Error getting volume information for drive %c", root[0]);
  record.volumeLabel[0] = '\0';
  record.fileSystem[0] = '\0';
  record.serialText[0] = '\0';
  record.serialNumber = 0;
}

void describeDriveRow(DriveTable& table, AssignmentRules& rules,
                      const char* root, ItemIdList* shellItem, bool hidden,
                      DriveRowTexts* texts, int32_t* compressionSeen) {
  const int index = IndexOfRoot(root);
  const char letter = root[0];
  DriveRecord& record = table.record(index);
  record.present = 1;
  record.shellItem = shellItem;

  const char* typeName = describeDriveType(table, root);
  probeProtectedModeStatus(table, index);
  probeDeviceKey(table, index);
  probeLetterGroup(table, index);
  probeSharedPhysicalDrive(table, index);
  deriveCompressionRole(table, index);
  char* compression = texts->text[columnCompression];
  describeCompression(record, compression, sizeof texts->text[0]);
  if (compression[0] != '\0') *compressionSeen = 1;

  readVolumeInformation(table, index, root);

  texts->text[columnTotalSize][0] = '\0';
  texts->text[columnFreeSpace][0] = '\0';
  record.totalKb = 0;
  record.freeKb = 0;
  if (record.volumeInfoValid) {
    if (readDiskSpace(root, &record.totalKb, &record.freeKb)) {
      formatSizeText(record.totalKb, texts->text[columnTotalSize],
                     sizeof texts->text[0]);
      formatSizeText(record.freeKb, texts->text[columnFreeSpace],
                     sizeof texts->text[0]);
    } else if (record.driveType == DRIVE_FIXED) {
      ReportLastError("Error determining total and free space on the drive %c.",
                      letter);
    }
  }

  // A pending New letter the rules now refuse is dropped.
  if (record.newLetter != noLetter &&
      !rules.CanAssignLetter(record.newLetter, letter, false))
    record.newLetter = noLetter;

  if (record.newLetter == noLetter) {
    texts->text[columnNew][0] = '\0';
  } else {
    platform::Format(texts->text[columnNew], sizeof texts->text[0],
                     "%c:", record.newLetter);
  }
  platform::Format(texts->text[columnOld], sizeof texts->text[0], "(%c:)",
                   letter);
  Copy(texts->text[columnHidden], sizeof texts->text[0], hidden ? "H" : "");
  Copy(texts->text[columnLabel], sizeof texts->text[0], record.volumeLabel);
  Copy(texts->text[columnType], sizeof texts->text[0], typeName);
  Copy(texts->text[columnFileSystem], sizeof texts->text[0], record.fileSystem);
  Copy(texts->text[columnSerial], sizeof texts->text[0], record.serialText);
}
