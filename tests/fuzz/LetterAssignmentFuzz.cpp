// UserDriveLetterAssignment: whatever type and bytes a device key's value
// holds, the probe keeps its range only when it is two letters A..Z, first
// not after last, and one letter otherwise; the save then writes a well
// formed range from the New letter that the probe reads back as written.
#include <stdint.h>
#include <string.h>

#include "assign/AssignmentRules.h"
#include "drives/DriveProbes.h"
#include "drives/DriveTable.h"
#include "platform/Codes.h"
#include "platform/RegistryKey.h"
#include "tests/fuzz/FuzzMachine.h"
#include "writers/RegistryAssignment.h"

namespace {

const char kKey[] = "Enum\\SCSI\\TOSHIBA_CD-ROM\\0000";
const char kValue[] = "UserDriveLetterAssignment";

class NoRows : public DriveRows {
 public:
  int GetRowCount() const override { return 0; }
  int GetRowDrive(int) const override { return -1; }
  void SetRowNewText(int, const char*) override {}
  void SetModified(bool) override {}
  WindowHandle GetBoxOwner() const override { return 0; }
};

// The CD-ROM E: of the device, probed afresh.
uint32_t Probe(DriveTable& table) {
  table.letterGroupCount = 0;
  DriveRecord& cd = table.recordOf('E');
  cd.present = 1;
  cd.driveType = DRIVE_CDROM;
  cd.deviceNode = 1;
  delete[] cd.deviceKeyPath;
  cd.deviceKeyPath = new char[256]();
  strcpy(cd.deviceKeyPath, kKey);
  probeLetterGroup(table, 'E' - 'A');
  fuzz::Check(cd.letterGroup != nullptr, "the device has a group");
  return cd.letterGroup->letterCount;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  sim::Machine& machine = fuzz::Machine("writers");
  static DriveTable* table = new DriveTable;
  static NoRows rows;
  static AssignmentRules* rules = new AssignmentRules(*table, rows);
  fuzz::Reset();
  fuzz::Input input(data, size);
  const char newLetter = char('A' + input.Byte() % 26);
  const uint32_t type = input.Byte() % 12;
  const std::string bytes = input.Rest();
  {
    RegistryKey key;
    fuzz::Check(key.Open(HKEY_LOCAL_MACHINE, kKey) == ERROR_SUCCESS,
                "the device key opens");
    key.SetValue(kValue, type, reinterpret_cast<const uint8_t*>(bytes.data()),
                 uint32_t(bytes.size()));
  }

  // The range as the value's layout gives it; the value's type is not
  // looked at.
  uint32_t expected = 1;
  if (bytes.size() == 3) {
    const uint8_t first = uint8_t(bytes[0]), last = uint8_t(bytes[1]);
    if (first >= 'A' && first <= 'Z' && last >= 'A' && last <= 'Z' &&
        last >= first)
      expected = uint32_t(last - first) + 1;
  }
  const uint32_t count = Probe(*table);
  fuzz::Check(count == expected, "the reserved letters",
              std::to_string(expected), std::to_string(count));
  fuzz::Check(fuzz::Boxes().empty(), "no message on reading");

  DriveRecord& cd = table->recordOf('E');
  cd.newLetter = newLetter;
  fuzz::Check(WriteRegistryAssignment(*table, *rules), "the value is written");
  sim::RegValue written;
  fuzz::Check(machine.RegistryValue(std::string("HKEY_LOCAL_MACHINE\\") + kKey,
                                    kValue, &written),
              "the value exists");
  const char last =
      char(newLetter + count - 1 > 'Z' ? 'Z' : newLetter + count - 1);
  const std::string range = std::string(1, newLetter) + last + '\0';
  fuzz::Check(written.type == REG_SZ && written.data == range,
              "a well-formed range from the New letter", range, written.data);
  const uint32_t again = Probe(*table);
  fuzz::Check(again == uint32_t(last - newLetter) + 1,
              "the written range reads back",
              std::to_string(last - newLetter + 1), std::to_string(again));
  return 0;
}
