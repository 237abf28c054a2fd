// The boot sector and the media ID record: whatever a floppy's first
// sector holds, its serial number, label and file-system name come from
// their fixed offsets as terminated strings of at most 11 and 8
// characters, and writing a new serial number through the media ID changes
// the serial only.
#include <stdint.h>
#include <stdio.h>
#include <string.h>

#include "assign/LabelSerial.h"
#include "drives/DriveProbes.h"
#include "drives/DriveTable.h"
#include "tests/fuzz/FuzzMachine.h"

namespace {

uint32_t At32(const std::string& sector, size_t at) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = v << 8 | uint8_t(sector[at + size_t(i)]);
  return v;
}

std::string Field(const std::string& sector, size_t at, size_t length) {
  std::string field = sector.substr(at, length);
  return field.substr(0, field.find('\0'));
}

void CheckVolume(const DriveRecord& a, const std::string& sector) {
  fuzz::Check(a.volumeInfoValid == 1, "the volume data is valid");
  fuzz::Check(a.serialNumber == At32(sector, 39), "the serial number");
  fuzz::Check(
      strlen(a.volumeLabel) <= 11 && a.volumeLabel == Field(sector, 43, 11),
      "the label", Field(sector, 43, 11), a.volumeLabel);
  fuzz::Check(strlen(a.fileSystem) <= 8 && a.fileSystem == Field(sector, 54, 8),
              "the file system", Field(sector, 54, 8), a.fileSystem);
  char text[16];
  snprintf(text, sizeof text, "%04X-%04X", a.serialNumber >> 16,
           a.serialNumber & 0xFFFF);
  fuzz::Check(strcmp(a.serialText, text) == 0, "the serial text", text,
              a.serialText);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  sim::Machine& machine = fuzz::Machine("probes");
  static DriveTable* table = new DriveTable;
  fuzz::Reset();
  fuzz::Input input(data, size);
  uint32_t serial = 0;
  for (int i = 0; i < 4; ++i) serial = serial << 8 | input.Byte();
  std::string sector = input.Rest();
  if (sector.empty()) return -1;
  sector.resize(512, '\0');
  machine.drive('A')->device.bootSector = sector;

  DriveRecord& a = table->recordOf('A');
  a.present = 1;
  a.int13Unit = 0;
  fuzz::Check(readBootSectorVolume(*table, 0) == 1, "the sector is read");
  CheckVolume(a, sector);

  fuzz::Check(SetSerialNumber(*table, 0, serial), "the serial is written");
  fuzz::Check(fuzz::Boxes().empty(), "no message");
  std::string changed = sector;
  for (int i = 0; i < 4; ++i) changed[size_t(39 + i)] = char(serial >> (8 * i));
  fuzz::Check(machine.drive('A')->device.bootSector == changed,
              "only the serial's bytes change");
  fuzz::Check(readBootSectorVolume(*table, 0) == 1, "the sector is read again");
  CheckVolume(a, changed);
  return 0;
}
