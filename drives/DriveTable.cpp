#include "drives/DriveTable.h"

#include <string.h>

#include "platform/Platform.h"
#include "shell/ErrorReport.h"

const char driveMapFileName[] = "drivemap.dat";

void DriveRecord::formatSerialText() {
  if (!volumeInfoValid) {
    serialText[0] = '\0';
    return;
  }
  platform::Format(serialText, sizeof serialText, "%04X-%04X",
                   static_cast<unsigned>(serialNumber >> 16),
                   static_cast<unsigned>(serialNumber & 0xFFFF));
}

DriveTable::DriveTable()
    : letterGroupCount(0),
      compressionPresent(0),
      firstDriveSpaceLetter(0),
      windowsDriveLetter(0) {
  memset(letterGroups, 0, sizeof letterGroups);
  memset(compressionMap, 0, sizeof compressionMap);
  memset(&dosStackBuffer, 0, sizeof dosStackBuffer);
  memset(&dosDataBuffer, 0, sizeof dosDataBuffer);

  // The order is the system's: the map first (its messages come before any
  // other), the DOS link, the empty connection table, then the records,
  // and the DOS buffers and the driver last.
  driveMap.readDriveMap(driveMapFileName);
  dosLink.setUpDosLink();
  persistentConnections.empty();
  computerFolder = nullptr;
  memset(records, 0, sizeof records);
  for (int i = 0; i < driveCount; ++i) {
    records[i].newLetter = static_cast<char>('A' + i);
  }
  openLinks();
}

DriveTable::~DriveTable() {
  clear();
  closeLinks();
}

// Both DOS buffers and the driver, or neither: without conventional
// memory no real-mode call can run, and without the driver the memory is
// of no use.
void DriveTable::openLinks() {
  bool stackAllocated = false, dataAllocated = false;
  if (dosLink.ready) {
    stackAllocated = dosLink.allocateDosBuffer(&dosStackBuffer, dosStackSize);
    dataAllocated = stackAllocated &&
                    dosLink.allocateDosBuffer(&dosDataBuffer, dosDataSize);
  }
  if (stackAllocated && dataAllocated) {
    // "\\.\" and the file name; the current directory is the program's.
    char path[20];
    platform::Format(path, sizeof path, "\\\\.\\%s", driverFileName);
    if (driverLink.openDriver(path, dosStackBuffer.selector, dosStackSize,
                              dosStackBuffer.segment, dosStackSize))
      return;
    ReportError(
        "Error opening %s. Check if this file exists in the application "
        "directory. The program will function incorrectly without this "
        "file.",
        driverFileName);
  } else {
    ReportError(
        "Error allocating MS-DOS memory. The program may function "
        "incorrectly.");
  }
  if (stackAllocated) dosLink.freeDosBuffer(&dosStackBuffer);
  if (dataAllocated) dosLink.freeDosBuffer(&dosDataBuffer);
}

void DriveTable::closeLinks() {
  if (driverLink.isDriverOpen()) {
    dosLink.freeDosBuffer(&dosStackBuffer);
    dosLink.freeDosBuffer(&dosDataBuffer);
  }
  persistentConnections.freePersistentConnections();
  driverLink.closeDriver();
}

bool DriveTable::isLogicalDrive(int index) const {
  if (index < 0 || index >= driveCount) return false;
  return (platform::kernel().GetLogicalDrives() >> index) & 1u;
}

void DriveTable::clear() {
  for (DriveRecord& record : records) {
    if (!record.present) continue;
    record.present = 0;
    if (record.shellItem != nullptr)
      platform::shell().CoTaskMemFree(record.shellItem);
    record.shellItem = nullptr;
    delete[] record.hostedLetters;
    record.hostedLetters = nullptr;
    delete[] record.deviceKeyPath;
    record.deviceKeyPath = nullptr;
  }
  if (computerFolder != nullptr)
    platform::shell().ReleaseFolder(computerFolder);
  computerFolder = nullptr;
}
