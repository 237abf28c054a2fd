#include "drives/DriveProbes.h"

#include <string.h>

#include "drives/DriveTable.h"
#include "platform/Codes.h"
#include "platform/RegistryKey.h"
#include "shell/ErrorReport.h"

namespace {

const uint8_t dosInterrupt = 0x21;
const uint8_t biosDiskInterrupt = 0x13;
const uint8_t multiplexInterrupt = 0x2F;
const uint16_t genericBlockIoctl = 0x440D;
const uint16_t getLogicalDriveMap = 0x440E;
const uint8_t getDeviceParameters = 0x60;
const uint8_t getDriveMapInfo = 0x6F;
const uint16_t driveSpaceCall = 0x4A11;
const uint16_t driveSpaceSignature = 0x444D;  // "DM"
const uint8_t driveMapInfoSize = 16;
const uint8_t protectedModeOnlyFlag = 0x04;
// The categories of the generic IOCTL: FAT32-aware first, then the old one.
const uint8_t categories[] = {0x48, 0x08};

char letterOf(int index) { return static_cast<char>('A' + index); }

uint8_t* dataBlock(DriveTable& table) {
  return static_cast<uint8_t*>(table.dosDataBuffer.flatPointer);
}

RegisterPacket newPacket(uint8_t interrupt) {
  RegisterPacket packet;
  memset(&packet, 0, sizeof packet);
  packet.interruptNumber = interrupt;
  packet.mode = RegisterPacket::realMode;
  return packet;
}

// int 21h 440Dh for drive `index` with a parameter block at the data
// buffer's segment:0. True when the call ran and the carry is clear.
bool genericIoctl(DriveTable& table, int index, uint8_t category,
                  uint8_t minor) {
  RegisterPacket packet = newPacket(dosInterrupt);
  packet.setAx(genericBlockIoctl);
  packet.setBl(static_cast<uint8_t>(index + 1));
  packet.setCh(category);
  packet.setCl(minor);
  packet.setDx(0);
  packet.ds = table.dosDataBuffer.segment;
  table.driverLink.callRealMode(&packet);
  return !packet.carry();
}

void copyField(char* target, const uint8_t* source, size_t length) {
  memcpy(target, source, length);
  target[length] = '\0';
}

}  // namespace

void queryDriveSpaceMapping(DriveTable& table) {
  table.compressionPresent = 0;
  if (!table.driverLink.isDriverOpen()) return;
  RegisterPacket version = newPacket(multiplexInterrupt);
  version.setAx(driveSpaceCall);
  version.setBx(0x0000);
  if (!table.driverLink.callRealMode(&version) || version.ax() != 0 ||
      version.bx() != driveSpaceSignature)
    return;
  table.compressionPresent = 1;
  for (int d = 0; d < DriveTable::driveCount; ++d) {
    RegisterPacket map = newPacket(multiplexInterrupt);
    map.setAx(driveSpaceCall);
    map.setBx(0x0001);
    map.setDl(static_cast<uint8_t>(d));
    // The carry is not consulted here: AX = 0 is DriveSpace's success.
    if (table.driverLink.callRealMode(&map) && map.ax() == 0)
      table.compressionMap[d] = map.bx();
    else
      table.compressionMap[d] = static_cast<uint16_t>(d);
  }
}

void deriveCompressionRole(DriveTable& table, int d) {
  DriveRecord& record = table.record(d);
  record.compressionRole = 0;
  record.swapped = 0;
  record.swapPartner = 0;
  record.hostLetter = 0;
  record.cvfSequence = 0;
  delete[] record.hostedLetters;
  record.hostedLetters = nullptr;
  if (!table.compressionPresent) return;

  uint16_t m = table.compressionMap[d];
  if (m & 0x80) {
    int host = m & 0x7F;
    record.compressionRole = 1;
    record.hostLetter = letterOf(host);
    record.cvfSequence = static_cast<uint8_t>(m >> 8);
    // A host number past Z names no drive to compare with.
    if (host < DriveTable::driveCount &&
        (table.compressionMap[host] & 0xFF) == d) {
      record.swapped = 1;
      record.swapPartner = record.hostLetter;
    }
    return;
  }
  int mappedTo = m & 0xFF;
  if (mappedTo != d && mappedTo < DriveTable::driveCount) {
    record.compressionRole = 2;
    record.swapped = 1;
    record.swapPartner = letterOf(mappedTo);
    record.hostedLetters = new char[DriveTable::driveCount + 1]();
  }
  for (int i = 0; i < DriveTable::driveCount; ++i) {
    uint16_t entry = table.compressionMap[i];
    if (!(entry & 0x80) || (entry & 0x7F) != d) continue;
    record.compressionRole = 2;
    if (!record.hostedLetters)
      record.hostedLetters = new char[DriveTable::driveCount + 1]();
    size_t length = strlen(record.hostedLetters);
    record.hostedLetters[length] = letterOf(i);
    record.hostedLetters[length + 1] = '\0';
  }
}

uint8_t queryRemovableDeviceType(DriveTable& table, int index) {
  if (!table.driverLink.isDriverOpen()) return 0xFF;
  uint8_t result = 0xFF;
  uint8_t* block = dataBlock(table);
  for (uint8_t category : categories) {
    if (result != 0xFF) break;
    block[0] = 0;     // special functions
    block[1] = 0xFF;  // device type
    if (genericIoctl(table, index, category, getDeviceParameters))
      result = block[1];
  }
  if (result == 0xFF)
    ReportLastError("Error determining the type of the drive %c.",
                    letterOf(index));
  return result;
}

void probeProtectedModeStatus(DriveTable& table, int index) {
  DriveRecord& record = table.record(index);
  record.protectedModeOnly = 0;
  record.int13Unit = 0xFF;
  record.dosCdRom = 0;
  if (!table.driverLink.isDriverOpen()) return;
  uint8_t* block = dataBlock(table);
  for (uint8_t category : categories) {
    block[0] = driveMapInfoSize;
    if (genericIoctl(table, index, category, getDriveMapInfo)) {
      record.protectedModeOnly = (block[2] & protectedModeOnlyFlag) ? 1 : 0;
      record.int13Unit = block[3];
      return;
    }
  }
  if (!table.isLogicalDrive(index) && table.hasPersistentConnection(index)) {
    record.protectedModeOnly = 1;
  } else if (record.driveType == DRIVE_CDROM) {
    record.dosCdRom = 1;
  } else {
    ReportLastError("Error determining protected mode status of the drive %c",
                    letterOf(index));
  }
}

void probeDeviceKey(DriveTable& table, int index) {
  DriveRecord& record = table.record(index);
  record.deviceNode = 0;
  delete[] record.deviceKeyPath;
  record.deviceKeyPath = nullptr;
  if (!table.driverLink.isDriverOpen() || !table.isLogicalDrive(index) ||
      record.dosCdRom)
    return;
  char* block = new char[DriverLink::keyPathSize]();
  uint32_t node = 0;
  if (table.driverLink.queryDeviceKey(static_cast<uint32_t>(index), &node,
                                      block)) {
    record.deviceNode = node;
    record.deviceKeyPath = block;
    return;
  }
  delete[] block;
  if (record.protectedModeOnly || record.driveType == DRIVE_CDROM)
    ReportError("Error determining the registry key for the drive %c:",
                letterOf(index));
}

void probeLetterGroup(DriveTable& table, int index) {
  DriveRecord& record = table.record(index);
  record.letterGroup = nullptr;
  if (record.deviceNode == 0) return;
  for (int i = 0; i < table.letterGroupCount; ++i) {
    if (table.letterGroups[i].deviceNode == record.deviceNode) {
      record.letterGroup = &table.letterGroups[i];
      return;
    }
  }
  // One entry per device node and 26 letters: there is always room, but a
  // full table must not be written past.
  if (table.letterGroupCount >= DriveTable::driveCount) return;
  LetterGroup& group = table.letterGroups[table.letterGroupCount++];
  group.deviceNode = record.deviceNode;
  group.letterCount = 1;
  record.letterGroup = &group;
  if (!record.deviceKeyPath) return;

  RegistryKey key;
  int32_t error =
      key.Open(HKEY_LOCAL_MACHINE, record.deviceKeyPath, KEY_ALL_ACCESS);
  if (error != ERROR_SUCCESS) {
    ReportSystemError(error, "Error opening Registry key for the drive '%c'",
                      letterOf(index));
    return;
  }
  uint8_t value[3];
  uint32_t size = sizeof value;
  uint32_t type = 0;
  if (key.QueryValue("UserDriveLetterAssignment", &type, value, &size) !=
          ERROR_SUCCESS ||
      size != 3)
    return;
  uint8_t first = value[0], last = value[1];
  // A range that runs backwards reserves no letters beyond the first.
  if (first >= 'A' && first <= 'Z' && last >= 'A' && last <= 'Z' &&
      last >= first)
    group.letterCount = uint32_t(last - first) + 1;
}

void probeSharedPhysicalDrive(DriveTable& table, int index) {
  DriveRecord& record = table.record(index);
  record.sharesPhysicalDrive = 0;
  if (!table.driverLink.isDriverOpen() || !table.isLogicalDrive(index)) return;
  RegisterPacket packet = newPacket(dosInterrupt);
  packet.setAx(getLogicalDriveMap);
  packet.setBl(static_cast<uint8_t>(index + 1));
  table.driverLink.callRealMode(&packet);
  if (!packet.carry()) {
    record.sharesPhysicalDrive = packet.al() != 0 ? 1 : 0;
    return;
  }
  if (!record.dosCdRom)
    ReportLastError(
        "Error determining the number of logical letters assigned to the "
        "physical drive %c:",
        letterOf(index));
}

int32_t readBootSectorVolume(DriveTable& table, int index) {
  DriveRecord& record = table.record(index);
  record.volumeInfoValid = 0;
  record.volumeLabel[0] = '\0';
  record.fileSystem[0] = '\0';
  record.serialNumber = 0;
  record.serialText[0] = '\0';
  if (!table.driverLink.isDriverOpen()) return 0;
  RegisterPacket packet = newPacket(biosDiskInterrupt);
  packet.setAx(0x0201);  // read one sector
  packet.setCx(0x0001);  // cylinder 0, sector 1
  packet.setDh(0);       // head 0
  packet.setDl(record.int13Unit);
  packet.es = table.dosDataBuffer.segment;
  packet.setBx(0);
  table.driverLink.callRealMode(&packet);
  if (packet.carry()) return 0;
  const uint8_t* sector = dataBlock(table);
  record.volumeInfoValid = 1;
  record.serialNumber = uint32_t(sector[39]) | uint32_t(sector[40]) << 8 |
                        uint32_t(sector[41]) << 16 | uint32_t(sector[42]) << 24;
  copyField(record.volumeLabel, sector + 43, 11);
  copyField(record.fileSystem, sector + 54, 8);
  record.formatSerialText();
  return 1;
}
