// UserDriveLetterAssignment in the device keys: one value per device
// group from its New letters and its reserved count, and the start-up
// check that deletes the protected-mode CD-ROMs' values when MS-DOS serves
// a CD-ROM of its own.
#include "platform/sim/Machine.h"
#include "tests/writers/WritersTest.h"
#include "writers/RegistryAssignment.h"

namespace {

const char kToshiba[] = "Enum\\SCSI\\TOSHIBA_CD-ROM\\0000";
const char kChanger[] = "Enum\\SCSI\\NEC_CD-ROM_CHANGER\\0000";
const char kDisk[] = "Enum\\SCSI\\ADAPTEC_DISK\\0000";
const char kNetDisk[] = "Enum\\Network\\NETDISK\\0000";
const char kMismatch[] =
    "Your protected mode CD-ROM letters mismatch with DOS-mode CD-ROM "
    "letters. Pelmora has corrected this error. Now it's necessary to reboot "
    "the computer before starting the program.\n\n(  If this message appears "
    "for the second time, please, edit manually CONFIG.SYS and AUTOEXEC.BAT "
    "files and disable DOS CD-ROM drives : put REM at the start of the line "
    "containing MSCDEX.EXE and reboot  ).\n\nDo you want to reboot now ?";

class RegistryAssignmentTest : public WritersTest {
 protected:
  // The CD-ROM E:, the two-letter changer F:/G: and the protected-mode-only
  // disk H:, each with its fixture key, and a hard disk C: of no group.
  void Devices(char e, char f, char g, char h) {
    Drive('C', DRIVE_FIXED, 'C');
    Drive('E', DRIVE_CDROM, e);
    Device('E', 1, kToshiba, 2);
    Drive('F', DRIVE_CDROM, f);
    Device('F', 2, kChanger, 2);
    Drive('G', DRIVE_CDROM, g);
    Device('G', 2, kChanger);
    Drive('H', DRIVE_FIXED, h).protectedModeOnly = 1;
    Device('H', 3, kDisk, 3);
  }

  void ExpectQuestion(int answer) {
    user().Expect("Pelmora", kMismatch, MB_ICONQUESTION | MB_YESNO, answer);
  }
};

TEST_F(RegistryAssignmentTest, EveryDeviceGroupGetsItsOwnRange) {
  // The changer's New letters F and H give FH; E alone with G, having
  // reserved two letters, gets GH; H with Y, having reserved three, YZ.
  Devices('G', 'F', 'H', 'Y');
  // A CD-ROM of a DOS driver has no device; a protected-mode-only drive
  // with a persistent connection is the network's.
  Drive('D', DRIVE_CDROM, 'D').dosCdRom = 1;
  Drive('N', DRIVE_REMOTE, 'P').protectedModeOnly = 1;
  Device('N', 4, kNetDisk);
  ASSERT_TRUE(table->persistentConnections.readPersistentConnections());
  ASSERT_TRUE(table->hasPersistentConnection('N' - 'A'));

  EXPECT_TRUE(WriteRegistryAssignment(*table, *rules));
  EXPECT_EQ(Assignment(kToshiba), "GH");
  EXPECT_EQ(Assignment(kChanger), "FH");
  EXPECT_EQ(Assignment(kDisk), "YZ");
  EXPECT_EQ(Assignment(kNetDisk), "(none)");
  sim::RegValue value;
  ASSERT_TRUE(
      machine().RegistryValue(std::string("HKEY_LOCAL_MACHINE\\") + kChanger,
                              "UserDriveLetterAssignment", &value));
  EXPECT_EQ(value.data, std::string("FH\0", 3));
}

TEST_F(RegistryAssignmentTest, GroupWiderThanItsReservedCountKeepsItsSpan) {
  // The changer reserved two letters; its drives now lie apart.
  Devices('E', 'K', 'M', 'H');
  EXPECT_TRUE(WriteRegistryAssignment(*table, *rules));
  EXPECT_EQ(Assignment(kChanger), "KM");
  EXPECT_EQ(Assignment(kToshiba), "EF");
  EXPECT_EQ(Assignment(kDisk), "HJ");
}

TEST_F(RegistryAssignmentTest, DriveWithoutNewLetterCountsWithItsOwn) {
  // Only a drive whose letter may not change is left without a New letter:
  // it keeps the one it has.
  Devices(noLetter, 'F', noLetter, 'H');
  table->letterGroups[0].letterCount = 1;
  EXPECT_TRUE(WriteRegistryAssignment(*table, *rules));
  EXPECT_EQ(Assignment(kToshiba), "EE");
  EXPECT_EQ(Assignment(kChanger), "FG");
}

TEST_F(RegistryAssignmentTest, FailingDeviceIsReportedAndTheOthersWritten) {
  Devices('G', 'F', 'H', 'Y');
  faults().Fail("RegOpenKeyExA", ERROR_ACCESS_DENIED, 1, "TOSHIBA");
  faults().Fail("RegSetValueExA", ERROR_ACCESS_DENIED, 1, "NEC_CD-ROM");
  ExpectError(std::string("Cannot save new letter assignment for the drive "
                          "E : ") +
              kAccessDenied);
  ExpectError(std::string("Cannot save new letter assignment for the drive "
                          "F : ") +
              kAccessDenied);
  EXPECT_FALSE(WriteRegistryAssignment(*table, *rules));
  EXPECT_EQ(Assignment(kToshiba), "EE");
  EXPECT_EQ(Assignment(kChanger), "FG");
  EXPECT_EQ(Assignment(kDisk), "YZ");
  // Every key opened was closed again.
  EXPECT_EQ(machine().CallCount("RegCloseKey"),
            machine().CallCount("RegOpenKeyExA") - 1);
}

TEST_F(RegistryAssignmentTest,
       MemberWithoutKeyPathIsReportedNotWrittenToTheRoot) {
  Devices('G', 'F', 'H', 'Y');
  table->recordOf('H').deviceKeyPath[0] = '\0';
  ExpectError("Cannot save new letter assignment for the drive H");
  EXPECT_FALSE(WriteRegistryAssignment(*table, *rules));
  EXPECT_FALSE(machine().RegistryValue("HKEY_LOCAL_MACHINE",
                                       "UserDriveLetterAssignment", nullptr));
  EXPECT_EQ(Assignment(kDisk), "HH");
  EXPECT_EQ(Assignment(kToshiba), "GH");
}

// ------------------------------------------------------- the CD-ROM check

TEST_F(RegistryAssignmentTest, WithoutDosCdRomTheCheckChangesNothing) {
  Devices('E', 'F', 'G', 'H');
  EXPECT_TRUE(CheckCdRomLetters(*table));
  EXPECT_EQ(machine().CallCount("RegOpenKeyExA"), 0u);
  EXPECT_EQ(Assignment(kToshiba), "EE");
  EXPECT_EQ(Assignment(kChanger), "FG");
  EXPECT_TRUE(machine().ExitRequests().empty());
}

TEST_F(RegistryAssignmentTest, DosCdRomClearsProtectedModeValuesAndEnds) {
  Devices('E', 'F', 'G', 'H');
  Drive('D', DRIVE_CDROM, 'D').dosCdRom = 1;
  // Yes asks for the reboot; No does not; the program ends either way,
  // and the question comes again as long as the DOS CD-ROM is there.
  ExpectQuestion(IDYES);
  EXPECT_FALSE(CheckCdRomLetters(*table));
  EXPECT_EQ(machine().ExitRequests(), std::vector<uint32_t>{EWX_REBOOT});
  EXPECT_EQ(Assignment(kToshiba), "(none)");
  EXPECT_EQ(Assignment(kChanger), "(none)");
  // Not a CD-ROM: kept.
  EXPECT_EQ(Assignment(kDisk), "HH");

  ExpectQuestion(IDNO);
  EXPECT_FALSE(CheckCdRomLetters(*table));
  EXPECT_EQ(machine().ExitRequests().size(), 1u);
  ASSERT_EQ(user().Boxes().size(), 2u);
  EXPECT_EQ(user().Boxes()[1].owner, 0u);
}

TEST_F(RegistryAssignmentTest, CheckReportsAKeyItCannotOpenAndGoesOn) {
  Devices('E', 'F', 'G', 'H');
  Drive('D', DRIVE_CDROM, 'D').dosCdRom = 1;
  faults().Fail("RegOpenKeyExA", ERROR_ACCESS_DENIED, 1, "TOSHIBA");
  faults().Fail("RegDeleteValueA", ERROR_ACCESS_DENIED, 1, "NEC_CD-ROM");
  ExpectError(
      std::string("Error opening Registry key Enum\\SCSI\\TOSHIBA_CD-ROM\\0000 "
                  ": ") +
      kAccessDenied);
  ExpectError(std::string("Error deleting the value UserDriveLetterAssignment "
                          "of the Registry key "
                          "Enum\\SCSI\\NEC_CD-ROM_CHANGER\\0000 : ") +
              kAccessDenied);
  ExpectQuestion(IDNO);
  EXPECT_FALSE(CheckCdRomLetters(*table));
  EXPECT_EQ(Assignment(kToshiba), "EE");
  // G: shares the changer's key: its try deleted the value.
  EXPECT_EQ(Assignment(kChanger), "(none)");
  EXPECT_TRUE(machine().ExitRequests().empty());
}

}  // namespace
