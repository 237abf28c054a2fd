// The writers as a save runs them, one after the other whatever the one
// before did: every file and value they leave, with and without failures.
#include "tests/writers/WritersTest.h"
#include "writers/CompressionIni.h"
#include "writers/DosStartupFiles.h"
#include "writers/RegistryAssignment.h"

namespace {

const char kIni[] = "C:\\DrvSpace.ini";
const char kIniTemp[] = "C:\\Pelmora\\DrvSpIni.tmp";
const char kToshiba[] = "Enum\\SCSI\\TOSHIBA_CD-ROM\\0000";
const char kChanger[] = "Enum\\SCSI\\NEC_CD-ROM_CHANGER\\0000";
const char kSettings[] = "MaxRemovableDrives=2\r\nFirstDrive=D\r\n";
const char kNewSettings[] =
    "MaxRemovableDrives=2\r\nFirstDrive=K\r\nLastDrive=K\r\n"
    "ActivateDrive=K,C0\r\n";
const char kFixtureConfig[] =
    "DEVICE=C:\\WINDOWS\\HIMEM.SYS\r\nDEVICE=C:\\CDROM\\OAKCDROM.SYS "
    "/D:MSCD001\r\nLASTDRIVE=E\r\nFILES=40\r\n";
const char kNewConfig[] =
    "LASTDRIVE=Z\r\nDEVICE=C:\\WINDOWS\\HIMEM.SYS\r\nDEVICE=C:\\CDROM\\"
    "OAKCDROM.SYS /D:MSCD001\r\nFILES=40\r\n";
const char kFixtureAutoexec[] =
    "@ECHO OFF\r\nPATH C:\\WINDOWS;C:\\WINDOWS\\COMMAND\r\n"
    "LH C:\\WINDOWS\\COMMAND\\MSCDEX.EXE /D:MSCD001 /L:E\r\n";
const char kNewAutoexec[] =
    "@ECHO OFF\r\nPATH C:\\WINDOWS;C:\\WINDOWS\\COMMAND\r\n"
    "LH C:\\WINDOWS\\COMMAND\\MSCDEX.EXE /D:MSCD001 /L:R \r\n";

class SaveWritersTest : public WritersTest {
 protected:
  void SetUp() override {
    WritersTest::SetUp();
    machine().WriteFile(kIni, kSettings);
    table->compressionPresent = 1;
    Drive('C', DRIVE_FIXED, 'C').compressionRole = 2;
    DriveRecord& volume = Drive('K', DRIVE_FIXED, 'K');
    volume.compressionRole = 1;
    volume.hostLetter = 'C';
    // D: is the CD-ROM MS-DOS sees; E: and the changer F:/G: are served in
    // protected mode only.
    Drive('D', DRIVE_CDROM, 'R');
    Drive('E', DRIVE_CDROM, 'S').protectedModeOnly = 1;
    Device('E', 1, kToshiba);
    Drive('F', DRIVE_CDROM, 'T').protectedModeOnly = 1;
    Device('F', 2, kChanger);
    Drive('G', DRIVE_CDROM, 'U').protectedModeOnly = 1;
    Device('G', 2, kChanger);
  }

  // Step 4 of a save: every writer, in order, whatever came before.
  std::vector<bool> RunWriters() {
    std::vector<bool> results;
    results.push_back(UpdateCompressionIni(*table));
    results.push_back(UpdateMscdexLines(*table));
    results.push_back(SetLastDrive(*table, 'Z'));
    results.push_back(WriteRegistryAssignment(*table, *rules));
    return results;
  }
};

TEST_F(SaveWritersTest, EveryWriterLeavesItsPlaceWritten) {
  EXPECT_EQ(RunWriters(), (std::vector<bool>{true, true, true, true}));
  EXPECT_EQ(Read(kIni), kNewSettings);
  EXPECT_EQ(Read(kAutoexec), kNewAutoexec);
  EXPECT_EQ(Read(kConfig), kNewConfig);
  EXPECT_EQ(Assignment(kToshiba), "SS");
  EXPECT_EQ(Assignment(kChanger), "TU");
  EXPECT_FALSE(Exists(kTempPath));
  EXPECT_FALSE(Exists(kIniTemp));
  EXPECT_TRUE(user().Boxes().empty());
}

TEST_F(SaveWritersTest, AFailingWriterStopsNoneOfTheLaterOnes) {
  faults().Fail("MoveFileA", ERROR_ACCESS_DENIED, 1, "drvspini.tmp");
  faults().Fail("DeleteFileA", ERROR_ACCESS_DENIED, 1, "autoexec.bat");
  faults().Fail("RegSetValueExA", ERROR_ACCESS_DENIED, 1, "TOSHIBA");
  ExpectError(std::string("Error renaming C:\\Pelmora\\DrvSpIni.tmp to "
                          "C:\\DrvSpace.ini : ") +
              kAccessDenied);
  ExpectError(std::string("Error renaming temp.tmp to C:\\AUTOEXEC.BAT : ") +
              kAccessDenied);
  ExpectError(std::string("Cannot save new letter assignment for the drive "
                          "E : ") +
              kAccessDenied);
  EXPECT_EQ(RunWriters(), (std::vector<bool>{false, false, true, false}));
  // Nothing is lost: the settings wait in the program's directory, the
  // other files are new or as they were.
  EXPECT_FALSE(Exists(kIni));
  EXPECT_EQ(Read(kIniTemp), kNewSettings);
  EXPECT_EQ(Read(kAutoexec), kFixtureAutoexec);
  EXPECT_EQ(Read(kConfig), kNewConfig);
  EXPECT_EQ(Assignment(kToshiba), "EE");
  EXPECT_EQ(Assignment(kChanger), "TU");
  EXPECT_FALSE(Exists(kTempPath));
  EXPECT_EQ(machine().OpenStreams(), 0);
}

TEST_F(SaveWritersTest, CancelledCdRomWarningStopsOnlyTheMscdexEdit) {
  // D: and E: are both seen by MS-DOS; the warning's text is the MSCDEX
  // tests' business.
  table->recordOf('E').protectedModeOnly = 0;
  user().Answer(IDCANCEL);
  EXPECT_EQ(RunWriters(), (std::vector<bool>{true, false, true, true}));
  ASSERT_EQ(user().Boxes().size(), 1u);
  EXPECT_EQ(user().Boxes()[0].caption, "Warning");
  EXPECT_EQ(Read(kAutoexec), kFixtureAutoexec);
  EXPECT_EQ(Read(kConfig), kNewConfig);
  EXPECT_EQ(Read(kIni), kNewSettings);
}

}  // namespace
