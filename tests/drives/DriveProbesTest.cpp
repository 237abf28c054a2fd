// The drive probes on a machine with every kind of drive they tell apart,
// and with the driver missing.
#include <gtest/gtest.h>
#include <stdio.h>
#include <string.h>

#include <string>

#include "drives/DriveProbes.h"
#include "drives/DriveTable.h"
#include "platform/Codes.h"
#include "tests/support/MachineTest.h"

namespace {

class DriveProbesTest : public MachineTest {
 protected:
  void SetUp() override { Boot("probes"); }
  void TearDown() override {
    table.reset();
    MachineTest::TearDown();
  }
  // The table with the drive map missing (its message expected), and the
  // driver message when there is no driver file.
  void Construct(bool driverFile = true) {
    user().Expect("Pelmora",
                  "Error opening file drivemap.dat : No such file or directory",
                  MB_ICONERROR | MB_OK, IDOK);
    if (!driverFile) {
      std::remove(machine().HostPath("C:\\Pelmora\\Kromvale.VxD").c_str());
      user().Expect("Pelmora",
                    "Error opening Kromvale.VxD. Check if this file exists in "
                    "the application directory. The program will function "
                    "incorrectly without this file.",
                    MB_ICONERROR | MB_OK, IDOK);
    }
    table.reset(new DriveTable);
    table->persistentConnections.readPersistentConnections();
  }
  // The per-drive probes in the order a row runs them.
  void ProbeRow(char letter) {
    int index = letter - 'A';
    DriveRecord& r = table->record(index);
    char root[] = {letter, ':', '\\', '\0'};
    r.present = 1;
    r.driveType = int32_t(platform::kernel().GetDriveTypeA(root));
    probeProtectedModeStatus(*table, index);
    probeDeviceKey(*table, index);
    probeLetterGroup(*table, index);
    probeSharedPhysicalDrive(*table, index);
    deriveCompressionRole(*table, index);
  }
  // The last request 1 the driver received.
  std::string LastPacket() {
    auto requests = machine().DriverRequests();
    for (auto it = requests.rbegin(); it != requests.rend(); ++it)
      if (it->code == 1) return it->bytes;
    return "";
  }
  static uint32_t At32(const std::string& bytes, size_t at) {
    uint32_t v = 0;
    memcpy(&v, bytes.data() + at, 4);
    return v;
  }
  static uint16_t At16(const std::string& bytes, size_t at) {
    uint16_t v = 0;
    memcpy(&v, bytes.data() + at, 2);
    return v;
  }
  std::unique_ptr<DriveTable> table;
};

TEST_F(DriveProbesTest, EveryKindOfDriveGetsItsFacts) {
  Construct();
  queryDriveSpaceMapping(*table);
  ASSERT_EQ(table->compressionPresent, 1);
  struct Case {
    char letter;
    int32_t protectedModeOnly;
    uint8_t int13Unit;
    int32_t dosCdRom;
    uint32_t deviceNode;
    const char* key;       // null: none
    uint32_t letterCount;  // 0: no group
    int32_t shares;
    int32_t role;
    int32_t swapped;
    char partner;
    const char* hosted;
  } cases[] = {
      {'A', 0, 0x00, 0, 0xD001, "Enum\\FLOP\\GENERIC_NEC__FLOPPY_DISK_\\0000",
       2, 1, 0, 0, 0, nullptr},
      {'B', 0, 0x00, 0, 0xD001, "Enum\\FLOP\\GENERIC_NEC__FLOPPY_DISK_\\0000",
       2, 1, 0, 0, 0, nullptr},
      {'C', 0, 0x80, 0, 0xD002, "Enum\\ESDI\\GENERIC_IDE__DISK_TYPE47_\\0000",
       1, 0, 0, 0, 0, nullptr},
      // MSCDEX's drive: no map info, no device key asked, no message.
      {'E', 0, 0xFF, 1, 0, nullptr, 0, 0, 0, 0, 0, nullptr},
      // Only category 48h answers; a two-byte value leaves one letter.
      {'F', 1, 0xFF, 0, 0xD003, "Enum\\SCSI\\ADAPTEC_DISK____\\0000", 1, 0, 0,
       0, 0, nullptr},
      // Only category 08h answers; "GH" reserves two letters.
      {'G', 0, 0xFF, 0, 0xD004, "Enum\\SCSI\\NEC_CD-ROM_CHANGER\\0000", 2, 0, 0,
       0, 0, nullptr},
      {'H', 0, 0xFF, 0, 0xD004, "Enum\\SCSI\\NEC_CD-ROM_CHANGER\\0000", 2, 0, 0,
       0, 0, nullptr},
      // A value of four bytes leaves one letter.
      {'I', 0, 0x81, 0, 0xD005, "Enum\\ESDI\\GENERIC_IDE__DISK_TYPE46_\\0000",
       1, 0, 2, 1, 'J', "JK"},
      {'J', 0, 0xFF, 0, 0, nullptr, 0, 0, 1, 1, 'I', nullptr},
      {'K', 0, 0xFF, 0, 0, nullptr, 0, 0, 1, 0, 0, nullptr},
      // Known only as a saved connection: protected mode only, silently.
      {'N', 1, 0xFF, 0, 0, nullptr, 0, 0, 0, 0, 0, nullptr},
  };
  for (const Case& c : cases) ProbeRow(c.letter);
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("drive ") + c.letter);
    const DriveRecord& r = table->recordOf(c.letter);
    EXPECT_EQ(r.protectedModeOnly, c.protectedModeOnly);
    EXPECT_EQ(r.int13Unit, c.int13Unit);
    EXPECT_EQ(r.dosCdRom, c.dosCdRom);
    EXPECT_EQ(r.deviceNode, c.deviceNode);
    if (c.key)
      EXPECT_STREQ(r.deviceKeyPath, c.key);
    else
      EXPECT_EQ(r.deviceKeyPath, nullptr);
    if (c.letterCount) {
      ASSERT_NE(r.letterGroup, nullptr);
      EXPECT_EQ(r.letterGroup->deviceNode, c.deviceNode);
      EXPECT_EQ(r.letterGroup->letterCount, c.letterCount);
    } else {
      EXPECT_EQ(r.letterGroup, nullptr);
    }
    EXPECT_EQ(r.sharesPhysicalDrive, c.shares);
    EXPECT_EQ(r.compressionRole, c.role);
    EXPECT_EQ(r.swapped, c.swapped);
    EXPECT_EQ(r.swapPartner, c.partner);
    if (c.hosted)
      EXPECT_STREQ(r.hostedLetters, c.hosted);
    else
      EXPECT_EQ(r.hostedLetters, nullptr);
  }
  EXPECT_EQ(table->recordOf('J').hostLetter, 'I');
  EXPECT_EQ(table->recordOf('J').cvfSequence, 1);
  EXPECT_EQ(table->recordOf('K').hostLetter, 'I');
  EXPECT_EQ(table->recordOf('K').cvfSequence, 2);
  // One group per device, in the order the devices were met; the registry
  // was read once per device.
  EXPECT_EQ(table->letterGroupCount, 5);
  EXPECT_EQ(table->recordOf('A').letterGroup, table->recordOf('B').letterGroup);
  EXPECT_EQ(machine().CallCount("RegQueryValueExA"), 5u);
}

TEST_F(DriveProbesTest, EachCallReachesTheDriverAsItsPacket) {
  Construct();
  uint16_t data = table->dosDataBuffer.segment;
  uint16_t stack = table->dosStackBuffer.segment;
  ASSERT_NE(data, 0);
  ASSERT_NE(stack, data);
  struct Expected {
    uint32_t interrupt;
    uint16_t ax, bx, cx, dx, ds, es;
  };
  auto check = [&](const Expected& e) {
    std::string p = LastPacket();
    ASSERT_EQ(p.size(), 56u);
    EXPECT_EQ(At32(p, 48), e.interrupt);
    EXPECT_EQ(At16(p, 28), e.ax);
    EXPECT_EQ(At16(p, 16), e.bx);
    EXPECT_EQ(At16(p, 24), e.cx);
    EXPECT_EQ(At16(p, 20), e.dx);
    EXPECT_EQ(At16(p, 44), e.ds);
    EXPECT_EQ(At16(p, 42), e.es);
    EXPECT_EQ(At16(p, 32), 0);      // flags as sent
    EXPECT_EQ(At32(p, 36), 4096u);  // the stack's size
    EXPECT_EQ(At16(p, 40), stack);  // the real-mode stack segment
    EXPECT_EQ(At32(p, 52), 1u);     // real mode
  };
  queryDriveSpaceMapping(*table);
  check({0x2F, 0x4A11, 0x0001, 0, 25, 0, 0});  // the last drive's mapping
  EXPECT_EQ(queryRemovableDeviceType(*table, 0), 7);
  check({0x21, 0x440D, 0x0001, 0x4860, 0, data, 0});
  table->recordOf('G').driveType = DRIVE_CDROM;
  probeProtectedModeStatus(*table, 'G' - 'A');
  check({0x21, 0x440D, 0x0007, 0x086F, 0, data, 0});  // 48h refused first
  probeSharedPhysicalDrive(*table, 'C' - 'A');
  check({0x21, 0x440E, 0x0003, 0, 0, 0, 0});
  table->recordOf('A').int13Unit = 0x00;
  ASSERT_EQ(readBootSectorVolume(*table, 0), 1);
  check({0x13, 0x0201, 0x0000, 0x0001, 0x0000, 0, data});

  machine().ClearDriverRequests();
  table->recordOf('C').present = 1;  // so that the table frees the key
  probeDeviceKey(*table, 'C' - 'A');
  auto requests = machine().DriverRequests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].code, 2u);
  EXPECT_EQ(requests[0].inSize, 12u);
  ASSERT_EQ(requests[0].bytes.size(), 12u);
  EXPECT_EQ(At32(requests[0].bytes, 0), 2u);
  EXPECT_NE(At32(requests[0].bytes, 4), 0u);
  EXPECT_NE(At32(requests[0].bytes, 8), 0u);
}

TEST_F(DriveProbesTest, TheBootSectorGivesTheFloppysVolumeData) {
  Construct();
  DriveRecord& a = table->recordOf('A');
  a.int13Unit = 0x00;
  ASSERT_EQ(readBootSectorVolume(*table, 0), 1);
  EXPECT_EQ(a.volumeInfoValid, 1);
  EXPECT_EQ(a.serialNumber, 0x1234ABCDu);
  EXPECT_STREQ(a.serialText, "1234-ABCD");
  EXPECT_STREQ(a.volumeLabel, "FLOPPY     ");  // padding kept
  EXPECT_STREQ(a.fileSystem, "FAT12   ");
}

TEST_F(DriveProbesTest, ABootSectorFromTheFixtureIsTakenAsItStands) {
  // Bytes 39..61 of a sector that is no FAT boot sector at all.
  std::string sector(62, '\0');
  sector.replace(39, 4, "\x78\x56\x34\x12", 4);
  sector.replace(43, 11, "LABEL_ELEVN");
  sector.replace(54, 8, "WEIRDFS!");
  machine().drive('A')->device.bootSector = sector;
  Construct();
  table->recordOf('A').int13Unit = 0x00;
  ASSERT_EQ(readBootSectorVolume(*table, 0), 1);
  EXPECT_EQ(table->recordOf('A').serialNumber, 0x12345678u);
  EXPECT_STREQ(table->recordOf('A').volumeLabel, "LABEL_ELEVN");
  EXPECT_STREQ(table->recordOf('A').fileSystem, "WEIRDFS!");
}

TEST_F(DriveProbesTest, AFloppyWithoutADiskHasNoVolumeDataAndNoMessage) {
  Construct();
  // B: is the same unit but the machine finds A:'s section first; make
  // the unit's drive empty.
  machine().drive('A')->ready = false;
  DriveRecord& b = table->recordOf('B');
  b.int13Unit = 0x00;
  EXPECT_EQ(readBootSectorVolume(*table, 1), 0);
  EXPECT_EQ(b.volumeInfoValid, 0);
  EXPECT_STREQ(b.volumeLabel, "");
  EXPECT_STREQ(b.serialText, "");
}

TEST_F(DriveProbesTest, WithoutTheDriverEveryProbeLeavesItsDefaultsSilently) {
  Construct(false);
  EXPECT_FALSE(table->driverLink.isDriverOpen());
  EXPECT_EQ(machine().DosBlocks(), 0);  // the buffers were given back
  machine().ClearDriverRequests();
  queryDriveSpaceMapping(*table);
  EXPECT_EQ(table->compressionPresent, 0);
  EXPECT_EQ(queryRemovableDeviceType(*table, 0), 0xFF);
  for (char letter : std::string("ABCEFGHIJKN")) {
    SCOPED_TRACE(std::string("drive ") + letter);
    ProbeRow(letter);
    const DriveRecord& r = table->recordOf(letter);
    EXPECT_EQ(r.protectedModeOnly, 0);
    EXPECT_EQ(r.int13Unit, 0xFF);
    EXPECT_EQ(r.dosCdRom, 0);
    EXPECT_EQ(r.deviceNode, 0u);
    EXPECT_EQ(r.deviceKeyPath, nullptr);
    EXPECT_EQ(r.letterGroup, nullptr);
    EXPECT_EQ(r.sharesPhysicalDrive, 0);
    EXPECT_EQ(r.compressionRole, 0);
    EXPECT_EQ(r.hostedLetters, nullptr);
  }
  EXPECT_EQ(readBootSectorVolume(*table, 0), 0);
  EXPECT_TRUE(machine().DriverRequests().empty());
  EXPECT_EQ(table->letterGroupCount, 0);
}

TEST_F(DriveProbesTest, NoDriveSpaceMeansNoCompressionAndOwnNumbers) {
  machine().drive('J')->device.compressedOn = 0;
  machine().drive('K')->device.compressedOn = 0;
  Construct();
  queryDriveSpaceMapping(*table);
  EXPECT_EQ(table->compressionPresent, 0);
  ProbeRow('I');
  EXPECT_EQ(table->recordOf('I').compressionRole, 0);
}

TEST_F(DriveProbesTest, AFailedMappingQueryLeavesTheDrivesOwnNumber) {
  Construct();
  faults().Fail("DeviceIoControl", ERROR_GEN_FAILURE, 1,
                "BX=0001 CX=0000 DX=0009");
  queryDriveSpaceMapping(*table);
  EXPECT_EQ(table->compressionMap[9], 9);        // J: refused
  EXPECT_EQ(table->compressionMap[10], 0x0288);  // K: on I:, #2
  EXPECT_EQ(table->compressionMap[8], 9);        // I: mapped to J:
}

// The messages of the probes, each with the system text of the error the
// driver left behind.
TEST_F(DriveProbesTest, ARemovableDriveNeitherCategoryKnowsIsReported) {
  machine().drive('A')->device.categories.clear();
  Construct();
  user().Expect("Pelmora",
                "Error determining the type of the drive A. : The system "
                "cannot find the drive specified.\r\n",
                MB_ICONERROR | MB_OK, IDOK);
  EXPECT_EQ(queryRemovableDeviceType(*table, 0), 0xFF);
}

TEST_F(DriveProbesTest, TheDeviceTypeFallsBackToTheOldCategory) {
  machine().drive('A')->device.categories = {0x08};
  machine().drive('A')->device.dosDeviceType = 2;
  Construct();
  EXPECT_EQ(queryRemovableDeviceType(*table, 0), 2);
}

TEST_F(DriveProbesTest, ADiskWithoutMapInfoIsReportedButACdRomIsNot) {
  machine().drive('C')->device.categories.clear();
  Construct();
  user().Expect("Pelmora",
                "Error determining protected mode status of the drive C : The "
                "system cannot find the drive specified.\r\n",
                MB_ICONERROR | MB_OK, IDOK);
  user().Expect("Pelmora",
                "Error determining the number of logical letters assigned to "
                "the physical drive C: : Incorrect function.\r\n",
                MB_ICONERROR | MB_OK, IDOK);
  ProbeRow('C');
  EXPECT_EQ(table->recordOf('C').protectedModeOnly, 0);
  EXPECT_EQ(table->recordOf('C').dosCdRom, 0);
  ProbeRow('E');  // silent
  EXPECT_EQ(table->recordOf('E').dosCdRom, 1);
}

TEST_F(DriveProbesTest,
       AMissingDeviceKeyIsReportedForProtectedModeDrivesAndCdRoms) {
  machine().drive('F')->device.deviceNode = 0;
  machine().drive('G')->device.deviceNode = 0;
  machine().drive('C')->device.deviceNode = 0;
  Construct();
  user().Expect("Pelmora",
                "Error determining the registry key for the drive F:",
                MB_ICONERROR | MB_OK, IDOK);
  user().Expect("Pelmora",
                "Error determining the registry key for the drive G:",
                MB_ICONERROR | MB_OK, IDOK);
  ProbeRow('F');
  ProbeRow('G');
  ProbeRow('C');  // a plain disk without a device: silent
  EXPECT_EQ(table->recordOf('C').deviceNode, 0u);
  EXPECT_EQ(table->recordOf('C').deviceKeyPath, nullptr);
}

TEST_F(DriveProbesTest, ADeviceKeyThatCannotBeOpenedKeepsOneLetter) {
  Construct();
  faults().Fail("RegOpenKeyExA", ERROR_ACCESS_DENIED, 1, "NEC_CD-ROM");
  user().Expect("Pelmora",
                "Error opening Registry key for the drive 'G' : Access is "
                "denied.\r\n",
                MB_ICONERROR | MB_OK, IDOK);
  ProbeRow('G');
  ProbeRow('H');  // same device: no second read, no second message
  ASSERT_NE(table->recordOf('G').letterGroup, nullptr);
  EXPECT_EQ(table->recordOf('G').letterGroup->letterCount, 1u);
  EXPECT_EQ(table->recordOf('H').letterGroup, table->recordOf('G').letterGroup);
}

TEST_F(DriveProbesTest, ABackwardRangeReservesOneLetter) {
  Construct();
  RegKey key;
  ASSERT_EQ(platform::registry().RegOpenKeyExA(
                HKEY_LOCAL_MACHINE, "Enum\\SCSI\\NEC_CD-ROM_CHANGER\\0000", 0,
                KEY_ALL_ACCESS, &key),
            ERROR_SUCCESS);
  platform::registry().RegSetValueExA(key, "UserDriveLetterAssignment", REG_SZ,
                                      reinterpret_cast<const uint8_t*>("HG"),
                                      3);
  platform::registry().RegCloseKey(key);
  ProbeRow('G');
  EXPECT_EQ(table->recordOf('G').letterGroup->letterCount, 1u);
}

TEST_F(DriveProbesTest, ARefusedRequestLooksLikeAFailedCall) {
  machine().drive('C')->device.refuse.insert("440E");
  Construct();
  user().Expect("Pelmora",
                "Error determining the number of logical letters assigned to "
                "the physical drive C: : error 31",
                MB_ICONERROR | MB_OK, IDOK);
  probeSharedPhysicalDrive(*table, 'C' - 'A');
  EXPECT_EQ(table->recordOf('C').sharesPhysicalDrive, 0);
}

}  // namespace
