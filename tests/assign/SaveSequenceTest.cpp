// The save: Letters.ini byte for byte from described drive tables, and the
// whole sequence through the view's Save command on simulated machines —
// the completeness check, the option's identity form, and every writer
// running whatever failed before it.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "assign/SaveSequence.h"
#include "drives/DriveTable.h"
#include "tests/assign/SaveViewTest.h"

namespace {

const char kLetters[] = "C:\\Pelmora\\Letters.ini";
const char kIncomplete[] =
    "Not all of the drives have been assigned a new letter.\nPlease, choose "
    "letters for all of the drives and then try again.";

// ---------------------------------------------------------------- the file

class LettersIniTest : public MachineTest {
 protected:
  void SetUp() override {
    Boot("writers");
    table = std::make_unique<DriveTable>();
    table->windowsDriveLetter = 'C';
  }
  void TearDown() override {
    table.reset();
    MachineTest::TearDown();
  }

  DriveRecord& Drive(char letter, int32_t type, char newLetter,
                     uint32_t serial = 0, const char* label = "") {
    DriveRecord& record = table->recordOf(letter);
    record.present = 1;
    record.driveType = type;
    record.newLetter = newLetter;
    record.volumeInfoValid = 1;
    record.serialNumber = serial;
    strncpy(record.volumeLabel, label, sizeof record.volumeLabel - 1);
    return record;
  }

  std::string Written() { return machine().ReadFile(kLetters); }
  void ExpectError(const std::string& text) {
    user().Expect("Pelmora", text, MB_ICONERROR | MB_OK, IDOK);
  }

  std::unique_ptr<DriveTable> table;
};

TEST_F(LettersIniTest, EachDriveByItsIdentityInOrderOfTheNewLetters) {
  Drive('A', DRIVE_REMOVABLE, 'A');
  Drive('C', DRIVE_FIXED, 'C', 0x1A2B3C4D, "MY DISK");
  Drive('D', DRIVE_FIXED, 'E', 0x0001ABCD, "DATA");
  Drive('F', DRIVE_RAMDISK, 'D');
  // Letters kept by others: MSCDEX and the registry, the network
  // connections, DriveSpace, protected mode, the shared drive's DOS.
  Drive('E', DRIVE_CDROM, 'F');
  Drive('N', DRIVE_REMOTE, 'N');
  Drive('G', DRIVE_FIXED, 'G', 0x11112222).compressionRole = 1;
  Drive('H', DRIVE_FIXED, 'H', 0x33334444).compressionRole = 2;
  Drive('I', DRIVE_FIXED, 'I', 0x55556666).protectedModeOnly = 1;
  Drive('B', DRIVE_REMOVABLE, 'B').sharesPhysicalDrive = 1;
  const struct {
    bool bySerial;
    const char* file;
  } cases[] = {
      {true,
       "A=A:\r\nC=(1A2B-3C4D)\r\nD=F:\r\nE=(0001-ABCD)\r\n"
       "/WD=(1A2B-3C4D)\r\n"},
      {false, "A=A:\r\nC=\"MY DISK\"\r\nD=F:\r\nE=DATA\r\n/WD=\"MY DISK\"\r\n"},
  };
  for (const auto& c : cases) {
    EXPECT_TRUE(WriteLettersIni(*table, c.bySerial));
    EXPECT_EQ(Written(), c.file) << c.bySerial;
  }
  EXPECT_TRUE(user().Boxes().empty());
}

TEST_F(LettersIniTest, WithNothingAssignableOnlyTheWindowsLine) {
  // The Windows drive has no line of its own and still names itself last.
  Drive('C', DRIVE_FIXED, noLetter, 0x0001ABCD, "DATA");
  Drive('E', DRIVE_CDROM, 'E');
  EXPECT_TRUE(WriteLettersIni(*table, true));
  EXPECT_EQ(Written(), "/WD=(0001-ABCD)\r\n");
  // An empty label writes nothing after the equals sign.
  Drive('D', DRIVE_FIXED, 'D');
  EXPECT_TRUE(WriteLettersIni(*table, false));
  EXPECT_EQ(Written(), "D=\r\n/WD=DATA\r\n");
}

TEST_F(LettersIniTest, MissingOriginalLetterLeavesOnlyThatLineOut) {
  Drive('A', DRIVE_REMOVABLE, 'A');
  Drive('C', DRIVE_FIXED, 'C', 0x1A2B3C4D);
  Drive('F', DRIVE_RAMDISK, 'G');
  table->driveMap.valid = 0;
  ExpectError("Error determining original letter for the drive A.");
  ExpectError("Error determining original letter for the drive F.");
  EXPECT_FALSE(WriteLettersIni(*table, true));
  EXPECT_EQ(Written(), "C=(1A2B-3C4D)\r\n/WD=(1A2B-3C4D)\r\n");
}

TEST_F(LettersIniTest, WindowsDriveInLowerCaseOrUnknown) {
  Drive('C', DRIVE_FIXED, 'C', 0x1A2B3C4D);
  table->windowsDriveLetter = 'c';
  EXPECT_TRUE(WriteLettersIni(*table, true));
  EXPECT_EQ(Written(), "C=(1A2B-3C4D)\r\n/WD=(1A2B-3C4D)\r\n");
  // Without the Windows directory there is no drive to name: reported, and
  // the other lines are still written.
  table->windowsDriveLetter = 0;
  ExpectError("Error determining the drive of the Windows directory.");
  EXPECT_FALSE(WriteLettersIni(*table, true));
  EXPECT_EQ(Written(), "C=(1A2B-3C4D)\r\n");
}

TEST_F(LettersIniTest, OpenAndWriteFailuresAreReportedWithTheRuntimesText) {
  Drive('C', DRIVE_FIXED, 'C', 0x1A2B3C4D);
  faults().Fail("Open", EACCES, 1, "letters.tmp");
  ExpectError("Error opening the file Letters.ini : Permission denied");
  EXPECT_FALSE(WriteLettersIni(*table, true));
  EXPECT_FALSE(machine().Exists(kLetters));
  // A full disk takes the buffered lines at the close; the assignment
  // saved before stays whole, and no temporary file is left.
  machine().WriteFile(kLetters, "C=OLD\r\n");
  machine().drive('C')->freeClusters = 0;
  ExpectError("Error writing the file Letters.ini : No space left on device");
  EXPECT_FALSE(WriteLettersIni(*table, true));
  EXPECT_EQ(machine().OpenStreams(), 0);
  EXPECT_EQ(machine().ReadFile(kLetters), "C=OLD\r\n");
  EXPECT_FALSE(machine().Exists("C:\\Pelmora\\Letters.tmp"));
}

TEST_F(LettersIniTest, NewAssignmentReplacesTheOldOneOnlyWhenWhole) {
  Drive('C', DRIVE_FIXED, 'C', 0x1A2B3C4D);
  machine().WriteFile(kLetters, "C=OLD\r\n");
  EXPECT_TRUE(WriteLettersIni(*table, true));
  EXPECT_EQ(Written(), "C=(1A2B-3C4D)\r\n/WD=(1A2B-3C4D)\r\n");
  EXPECT_FALSE(machine().Exists("C:\\Pelmora\\Letters.tmp"));
  // A move that fails after the old file went keeps the new one findable,
  // and says where.
  faults().Fail("MoveFileA", ERROR_ACCESS_DENIED);
  ExpectError(
      "Error renaming C:\\Pelmora\\Letters.tmp to Letters.ini : Access is "
      "denied.\r\n");
  EXPECT_FALSE(WriteLettersIni(*table, true));
  EXPECT_EQ(machine().ReadFile("C:\\Pelmora\\Letters.tmp"),
            "C=(1A2B-3C4D)\r\n/WD=(1A2B-3C4D)\r\n");
}

// ---------------------------------------------------------------- the save

class SaveSequenceTest : public SaveViewTest {
 protected:
  std::string Read(const char* path) { return machine().ReadFile(path); }
  std::string Assignment(const char* key) {
    sim::RegValue value;
    if (!machine().RegistryValue(std::string("HKEY_LOCAL_MACHINE\\") + key,
                                 "UserDriveLetterAssignment", &value))
      return "(none)";
    return value.data;
  }
};

TEST_F(SaveSequenceTest, IncompleteAssignmentIsRefusedAndNothingIsWritten) {
  Boot("roundtrip-disks");
  ASSERT_TRUE(Create());
  const std::string config = Read("C:\\CONFIG.SYS");
  Click('E');
  Command(ID_EDIT_CLEAR);
  user().Expect("Pelmora", kIncomplete, MB_ICONEXCLAMATION | MB_OK, IDOK);
  Command(ID_FILE_SAVE);
  EXPECT_FALSE(machine().Exists(kLetters));
  EXPECT_EQ(Read("C:\\CONFIG.SYS"), config);
  EXPECT_EQ(Assignment("Enum\\SCSI\\TOSHIBA_CD-ROM\\0000"),
            std::string("EE\0", 3));
  EXPECT_EQ(view->serialChecks, 0);
  EXPECT_TRUE(view->modified);
  EXPECT_FALSE(view->restartPending);
}

TEST_F(SaveSequenceTest, SaveWritesEveryPlaceAndSetsTheFlags) {
  Boot("roundtrip-disks");
  ASSERT_TRUE(Create());
  Assign('E', 'R');
  // Z: is a temporary connection, whose letter may not change: it may stay
  // without a New letter and gets no line.
  view->table.recordOf('Z').newLetter = noLetter;
  Command(ID_FILE_SAVE);
  EXPECT_TRUE(user().Boxes().empty());
  EXPECT_EQ(Read(kLetters),
            "A=A:\r\nC=(1A2B-3C4D)\r\nD=(0001-ABCD)\r\nF=F:\r\n"
            "/WD=(1A2B-3C4D)\r\n");
  EXPECT_EQ(Read("C:\\CONFIG.SYS"),
            "LASTDRIVE=Z\r\nDEVICE=C:\\WINDOWS\\HIMEM.SYS\r\n"
            "DEVICE=C:\\WINDOWS\\RAMDRIVE.SYS 2048 /E\r\nFILES=40\r\n");
  EXPECT_EQ(Read("C:\\AUTOEXEC.BAT"),
            "@C:\\PELMORA\\KROMVALE.EXE @LETTERS.INI /O:DRIVEMAP.DAT /CD\r\n"
            "@ECHO OFF\r\nPATH C:\\WINDOWS;C:\\WINDOWS\\COMMAND\r\n"
            "LH C:\\WINDOWS\\COMMAND\\MSCDEX.EXE /D:MSCD001 /L:R \r\n");
  EXPECT_EQ(Assignment("Enum\\SCSI\\TOSHIBA_CD-ROM\\0000"),
            std::string("RR\0", 3));
  EXPECT_EQ(view->serialChecks, 1);
  EXPECT_EQ(view->labelChecks, 0);
  EXPECT_FALSE(view->modified);
  EXPECT_TRUE(view->restartPending);
}

TEST_F(SaveSequenceTest, TheOptionChoosesTheCheckAndTheIdentities) {
  Boot("roundtrip-disks");
  ASSERT_TRUE(Create());
  const struct {
    int32_t saveBy;
    const char* windowsLine;
    int serialChecks;
    int labelChecks;
  } cases[] = {
      {0, "/WD=(1A2B-3C4D)\r\n", 1, 0},
      {1, "/WD=SYSTEM\r\n", 1, 1},
      // Unset (the option could not be read): any value but 0 is by label.
      {-1, "/WD=SYSTEM\r\n", 1, 2},
  };
  for (const auto& c : cases) {
    options.saveBy = c.saveBy;
    Command(ID_FILE_SAVE);
    const std::string file = Read(kLetters);
    EXPECT_EQ(file.substr(file.rfind("/WD")), c.windowsLine) << c.saveBy;
    EXPECT_EQ(view->serialChecks, c.serialChecks) << c.saveBy;
    EXPECT_EQ(view->labelChecks, c.labelChecks) << c.saveBy;
  }
}

TEST_F(SaveSequenceTest, FailedDuplicateCheckSkipsOnlyLettersIni) {
  Boot("roundtrip-disks");
  ASSERT_TRUE(Create());
  Assign('E', 'R');
  view->serialCheckPasses = false;
  ExpectError("Save operation failed.");
  Command(ID_FILE_SAVE);
  EXPECT_FALSE(machine().Exists(kLetters));
  EXPECT_EQ(Read("C:\\CONFIG.SYS").substr(0, 13), "LASTDRIVE=Z\r\n");
  EXPECT_EQ(Assignment("Enum\\SCSI\\TOSHIBA_CD-ROM\\0000"),
            std::string("RR\0", 3));
  // Both flags stay: the close query asks to save again.
  EXPECT_TRUE(view->modified);
  EXPECT_FALSE(view->restartPending);
}

TEST_F(SaveSequenceTest, EveryWriterRunsAfterFailuresAndOneSummaryFollows) {
  Boot("roundtrip-network");
  ASSERT_TRUE(Create());
  Assign('D', 'R');
  Assign('N', 'G');
  faults().Fail("Open", EACCES, 1, "letters.tmp");
  faults().Fail("RegSetValueExA", ERROR_ACCESS_DENIED, 1, "");
  ExpectError("Error opening the file Letters.ini : Permission denied");
  ExpectError(
      "Cannot save new letter assignment for the drive D : Access is "
      "denied.\r\n");
  ExpectError("Save operation failed.");
  Command(ID_FILE_SAVE);
  // The start-up files and the network connection were written after both
  // failures.
  EXPECT_EQ(Read("C:\\CONFIG.SYS").substr(0, 13), "LASTDRIVE=Z\r\n");
  EXPECT_FALSE(
      machine().RegistryKeyExists("HKEY_CURRENT_USER\\Network\\Persistent\\N"));
  sim::RegValue share;
  EXPECT_TRUE(machine().RegistryValue(
      "HKEY_CURRENT_USER\\Network\\Persistent\\G", "RemotePath", &share));
  EXPECT_EQ(share.data, std::string("\\\\SERVER\\SHARED\0", 16));
  EXPECT_TRUE(view->modified);
  EXPECT_FALSE(view->restartPending);
}

}  // namespace
