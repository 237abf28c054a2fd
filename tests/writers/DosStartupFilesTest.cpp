// The MSCDEX and LASTDRIVE lines of the boot drive's CONFIG.SYS and
// AUTOEXEC.BAT, on real bytes: CR LF line ends, long lines, read-only
// files, and every failure with the original intact or its new content
// left where the message says.
#include <errno.h>

#include "tests/writers/WritersTest.h"
#include "writers/DosStartupFiles.h"

namespace {

const char kSeveralCdRoms[] =
    "You have more than one CD-ROM drive visible in MS-DOS mode. It can "
    "interfere with Pelmora activity and cause wrong letter assignments. The "
    "program will temporary disable all MS-DOS\xAE"
    " CD-ROM drives ( in Windows\xAE"
    " they will be visible ). If you need MS-DOS CD-ROM, please, edit "
    "manually CONFIG.SYS and AUTOEXEC.BAT files and enable only one CD-ROM "
    "letter. In MSCDEX command line use the option:\n/L:x\nwhere x is the "
    "same letter that is assigned to that CD-ROM in Windows\xAE.";
const char kNotFound[] =
    "Error searching for MSCDEX in the files C:\\CONFIG.SYS and "
    "C:\\AUTOEXEC.BAT - the line was not found.";
const char kRenameConfig[] =
    "Error renaming temp.tmp to C:\\CONFIG.SYS : Access is denied.\r\n";

// The fixture's files as they come.
const char kFixtureConfig[] =
    "DEVICE=C:\\WINDOWS\\HIMEM.SYS\r\nDEVICE=C:\\CDROM\\OAKCDROM.SYS "
    "/D:MSCD001\r\nLASTDRIVE=E\r\nFILES=40\r\n";
const char kFixtureAutoexec[] =
    "@ECHO OFF\r\nPATH C:\\WINDOWS;C:\\WINDOWS\\COMMAND\r\n"
    "LH C:\\WINDOWS\\COMMAND\\MSCDEX.EXE /D:MSCD001 /L:E\r\n";
// ... with MSCDEX given G:.
const char kEditedAutoexec[] =
    "@ECHO OFF\r\nPATH C:\\WINDOWS;C:\\WINDOWS\\COMMAND\r\n"
    "LH C:\\WINDOWS\\COMMAND\\MSCDEX.EXE /D:MSCD001 /L:G \r\n";
// A CONFIG.SYS that loads MSCDEX too, and the same with G:.
const char kConfigWithMscdex[] =
    "DEVICE=C:\\WINDOWS\\HIMEM.SYS\r\nINSTALL=C:\\DOS\\mscdex.exe /d:mscd001 "
    "/l:e\r\nLASTDRIVE=E\r\n";
const char kEditedConfig[] =
    "DEVICE=C:\\WINDOWS\\HIMEM.SYS\r\nINSTALL=C:\\DOS\\MSCDEX.EXE /D:MSCD001 "
    "/L:G \r\nLASTDRIVE=E\r\n";

class DosStartupFilesTest : public WritersTest {
 protected:
  // A CD-ROM that MS-DOS serves, getting New letter `newLetter`.
  void DosCdRom(char letter, char newLetter) {
    Drive(letter, DRIVE_CDROM, newLetter);
  }
};

TEST_F(DosStartupFilesTest, NoDosCdRomLeavesBothFilesUnread) {
  Drive('C', DRIVE_FIXED, 'C');
  Drive('E', DRIVE_CDROM, 'G').protectedModeOnly = 1;
  EXPECT_TRUE(UpdateMscdexLines(*table));
  EXPECT_FALSE(Opened(kConfig));
  EXPECT_FALSE(Opened(kAutoexec));
  EXPECT_EQ(Read(kAutoexec), kFixtureAutoexec);
}

TEST_F(DosStartupFilesTest, OneCdRomGivesItsNewLetterToEveryActiveLine) {
  // Upper case, one blank after every word, the first four-character /L:
  // word replaced or /L:G added; remarks and other lines byte for byte.
  const struct {
    const char* line;
    const char* written;
  } lines[] = {
      {"@ECHO OFF\r\n", "@ECHO OFF\r\n"},
      {"mscdex /d:mscd001 /l:e\r\n", "MSCDEX /D:MSCD001 /L:G \r\n"},
      {"mscdex /d:mscd001\r\n", "MSCDEX /D:MSCD001 /L:G \r\n"},
      {"LH  C:\\DOS\\MSCDEX.EXE\t/L:EF   /D:X\r\n",
       "LH C:\\DOS\\MSCDEX.EXE /L:EF /D:X /L:G \r\n"},
      {"MSCDEX /L:E /L:F\r\n", "MSCDEX /L:G /L:F \r\n"},
      {"MSCDEX /L:\r\n", "MSCDEX /L: /L:G \r\n"},
      {"  ECHO REM mscdex  \r\n", "ECHO REM MSCDEX /L:G \r\n"},
      {"REM MSCDEX /L:E\r\n", "REM MSCDEX /L:E\r\n"},
      {"rem\tmscdex /l:e\r\n", "rem\tmscdex /l:e\r\n"},
      {"@REM MSCDEX /L:E\r\n", "@REM MSCDEX /L:E\r\n"},
      {"@ rem mscdex\r\n", "@ rem mscdex\r\n"},
      {"REMARK mscdex\r\n", "REMARK MSCDEX /L:G \r\n"},
      {"@ECHO mscdex\r\n", "@ECHO MSCDEX /L:G \r\n"},
      {"SET X=1\r\n", "SET X=1\r\n"},
      // The last line has no line end; the edit gives it one.
      {"mscdex", "MSCDEX /L:G \r\n"},
  };
  std::string original, expected;
  for (const auto& l : lines) {
    original += l.line;
    expected += l.written;
  }
  machine().WriteFile(kAutoexec, original);
  DosCdRom('E', 'G');
  EXPECT_TRUE(UpdateMscdexLines(*table));
  EXPECT_EQ(Read(kAutoexec), expected);
  // CONFIG.SYS had no MSCDEX line: untouched.
  EXPECT_EQ(Read(kConfig), kFixtureConfig);
  EXPECT_FALSE(Exists(kTempPath));
}

TEST_F(DosStartupFilesTest, MscdexLinesInBothFilesAreBothEdited) {
  machine().WriteFile(kConfig, kConfigWithMscdex);
  DosCdRom('E', 'G');
  EXPECT_TRUE(UpdateMscdexLines(*table));
  EXPECT_EQ(Read(kConfig), kEditedConfig);
  EXPECT_EQ(Read(kAutoexec), kEditedAutoexec);
  EXPECT_FALSE(Exists(kTempPath));
}

// Lines are read in pieces of 255 characters and held whole up to 1 KB;
// a file with a longer line is read twice over. 300 characters exercise
// the pieces of a held line, 1100 the second reader.
TEST_F(DosStartupFilesTest, LinesLongerThanAPieceAreJudgedAndEditedWhole) {
  for (size_t length : {300, 1100}) {
    SCOPED_TRACE(length);
    const std::string path = "C:\\" + std::string(length, 'x');
    const std::string upperPath = "C:\\" + std::string(length, 'X');
    // MSCDEX, the option and the remark beyond the first 255 characters.
    const std::string farName =
        "LH " + path + "\\mscdex.exe /d:mscd001 /l:e\r\n";
    const std::string farRemark = "REM " + path + " MSCDEX\r\n";
    // A word that straddles the piece boundary stays one word.
    const std::string straddling =
        std::string(250, 'a') + "MSC" + std::string(10, 'b') + " mscdex\r\n";
    // A long line whose pieces end in MSC and begin with " DEX" names no
    // MSCDEX.
    const std::string split = std::string(252, 'c') + "MSC DEX\r\n";
    machine().WriteFile(kAutoexec, farName + farRemark + straddling + split);
    DosCdRom('E', 'G');
    EXPECT_TRUE(UpdateMscdexLines(*table));
    EXPECT_EQ(Read(kAutoexec),
              "LH " + upperPath + "\\MSCDEX.EXE /D:MSCD001 /L:G \r\n" +
                  farRemark + std::string(250, 'A') + "MSC" +
                  std::string(10, 'B') + " MSCDEX /L:G \r\n" + split);
  }
}

TEST_F(DosStartupFilesTest, MscdexSplitOverTwoPiecesIsFound) {
  // Over the boundary of two pieces, and of a held line's 1 KB.
  for (size_t blanks : {252, 1020}) {
    SCOPED_TRACE(blanks);
    machine().WriteFile(kAutoexec,
                        std::string(blanks, ' ') + "MSCDEX /L:E\r\nECHO\r\n");
    DosCdRom('E', 'H');
    EXPECT_TRUE(UpdateMscdexLines(*table));
    EXPECT_EQ(Read(kAutoexec), "MSCDEX /L:H \r\nECHO\r\n");
  }
}

TEST_F(DosStartupFilesTest, CdRomWithoutNewLetterKeepsItsOwn) {
  DosCdRom('E', noLetter);
  EXPECT_TRUE(UpdateMscdexLines(*table));
  EXPECT_EQ(Read(kAutoexec),
            "@ECHO OFF\r\nPATH C:\\WINDOWS;C:\\WINDOWS\\"
            "COMMAND\r\nLH C:\\WINDOWS\\COMMAND\\MSCDEX.EXE "
            "/D:MSCD001 /L:E \r\n");
}

TEST_F(DosStartupFilesTest, TwoDosCdRomsWithOkCommentEveryActiveLineOut) {
  machine().WriteFile(kConfig, kConfigWithMscdex);
  DosCdRom('E', 'G');
  DosCdRom('F', 'H');
  user().Expect("Warning", kSeveralCdRoms, MB_ICONEXCLAMATION | MB_OKCANCEL,
                IDOK);
  EXPECT_TRUE(UpdateMscdexLines(*table));
  EXPECT_EQ(Read(kConfig),
            "DEVICE=C:\\WINDOWS\\HIMEM.SYS\r\nREM by Pelmora - "
            "INSTALL=C:\\DOS\\mscdex.exe /d:mscd001 /l:e\r\nLASTDRIVE=E\r\n");
  EXPECT_EQ(Read(kAutoexec),
            "@ECHO OFF\r\nPATH C:\\WINDOWS;C:\\WINDOWS\\COMMAND\r\nREM by "
            "Pelmora - LH C:\\WINDOWS\\COMMAND\\MSCDEX.EXE /D:MSCD001 "
            "/L:E\r\n");
  EXPECT_FALSE(Exists(kTempPath));

  // Saved again with both still there: the lines stay as they are and the
  // save goes on (no "line was not found" for its own remarks).
  {
    const std::string config = Read(kConfig), autoexec = Read(kAutoexec);
    user().Expect("Warning", kSeveralCdRoms, MB_ICONEXCLAMATION | MB_OKCANCEL,
                  IDOK);
    EXPECT_TRUE(UpdateMscdexLines(*table));
    EXPECT_EQ(Read(kConfig), config);
    EXPECT_EQ(Read(kAutoexec), autoexec);
  }

  // MS-DOS sees no CD-ROM after the reboot: the next save leaves both.
  table->recordOf('E').present = 0;
  table->recordOf('F').present = 0;
  const std::string config = Read(kConfig), autoexec = Read(kAutoexec);
  machine().ClearCallLog();
  EXPECT_TRUE(UpdateMscdexLines(*table));
  EXPECT_FALSE(Opened(kConfig));
  EXPECT_EQ(Read(kConfig), config);
  EXPECT_EQ(Read(kAutoexec), autoexec);
}

TEST_F(DosStartupFilesTest, TwoDosCdRomsWithCancelChangeNothing) {
  DosCdRom('E', 'G');
  DosCdRom('F', 'H');
  user().Expect("Warning", kSeveralCdRoms, MB_ICONEXCLAMATION | MB_OKCANCEL,
                IDCANCEL);
  EXPECT_FALSE(UpdateMscdexLines(*table));
  EXPECT_FALSE(Opened(kConfig));
  EXPECT_FALSE(Opened(kAutoexec));
  EXPECT_EQ(Read(kAutoexec), kFixtureAutoexec);
}

TEST_F(DosStartupFilesTest, OnlyRemarkedMscdexLinesAreNotFound) {
  const std::string remarks =
      "REM LH MSCDEX.EXE /L:E\r\n@REM MSCDEX\r\n@ REM mscdex /l:e\r\n";
  machine().WriteFile(kAutoexec, remarks);
  DosCdRom('E', 'G');
  ExpectError(kNotFound);
  EXPECT_FALSE(UpdateMscdexLines(*table));
  EXPECT_EQ(Read(kAutoexec), remarks);
  EXPECT_EQ(Read(kConfig), kFixtureConfig);
  EXPECT_FALSE(Exists(kTempPath));
}

TEST_F(DosStartupFilesTest, OneMissingFileIsNoErrorBothAre) {
  DosCdRom('E', 'G');
  ASSERT_TRUE(platform::kernel().DeleteFileA(kConfig));
  EXPECT_TRUE(UpdateMscdexLines(*table));
  EXPECT_EQ(Read(kAutoexec), kEditedAutoexec);
  EXPECT_FALSE(Exists(kConfig));

  // Only CONFIG.SYS, holding the line.
  machine().WriteFile(kConfig, kConfigWithMscdex);
  ASSERT_TRUE(platform::kernel().DeleteFileA(kAutoexec));
  EXPECT_TRUE(UpdateMscdexLines(*table));
  EXPECT_EQ(Read(kConfig), kEditedConfig);
  EXPECT_FALSE(Exists(kAutoexec));

  ASSERT_TRUE(platform::kernel().DeleteFileA(kConfig));
  ExpectError(
      "Error modifying MSCDEX line in the files C:\\CONFIG.SYS and "
      "C:\\AUTOEXEC.BAT - both files cannot be found.");
  EXPECT_FALSE(UpdateMscdexLines(*table));
  EXPECT_FALSE(Exists(kConfig));
  EXPECT_FALSE(Exists(kAutoexec));
  EXPECT_FALSE(Exists(kTempPath));
}

TEST_F(DosStartupFilesTest, StartupFilesAreThoseOfTheDriveMsDosBootedAs) {
  // C: and D: swapped at boot: MS-DOS's C: is D: now.
  machine().WriteFile("C:\\Pelmora\\drivemap.dat",
                      "map\r\nA B D C E F G H I J K L M N O P Q R S T U V W X "
                      "Y Z\r\n");
  table = std::make_unique<DriveTable>();
  machine().WriteFile("D:\\AUTOEXEC.BAT", "mscdex /l:e\r\n");
  machine().WriteFile("D:\\CONFIG.SYS", "lastdrive=e\r\nFILES=40\r\n");
  DosCdRom('E', 'G');
  EXPECT_TRUE(UpdateMscdexLines(*table));
  EXPECT_TRUE(SetLastDrive(*table, 'Z'));
  EXPECT_EQ(Read("D:\\AUTOEXEC.BAT"), "MSCDEX /L:G \r\n");
  EXPECT_EQ(Read("D:\\CONFIG.SYS"), "LASTDRIVE=Z\r\nFILES=40\r\n");
  EXPECT_EQ(Read(kAutoexec), kFixtureAutoexec);
  EXPECT_EQ(Read(kConfig), kFixtureConfig);
}

TEST_F(DosStartupFilesTest, ReadOnlyFileStaysUnchangedAndTheOtherIsEdited) {
  machine().WriteFile(kConfig, kConfigWithMscdex);
  ASSERT_TRUE(
      platform::kernel().SetFileAttributesA(kConfig, FILE_ATTRIBUTE_READONLY));
  DosCdRom('E', 'G');
  ExpectError(kRenameConfig);
  EXPECT_FALSE(UpdateMscdexLines(*table));
  EXPECT_EQ(Read(kConfig), kConfigWithMscdex);
  EXPECT_EQ(Read(kAutoexec), kEditedAutoexec);
  EXPECT_FALSE(Exists(kTempPath));
}

TEST_F(DosStartupFilesTest, MscdexFailuresKeepEveryFileAndLaterWritersRun) {
  // A CONFIG.SYS with a line too long to hold, read twice over.
  const std::string longConfig =
      kConfigWithMscdex + std::string("REM ") + std::string(1100, 'r') + "\r\n";
  const struct {
    const char* call;
    uint32_t code;
    int occurrence;
    const char* argument;
    const char* message;
    bool longLine;
  } cases[] = {
      {"Open", EACCES, 1, "config.sys",
       "Error opening the file C:\\CONFIG.SYS : Permission denied", false},
      {"Open", EACCES, 1, "temp.tmp",
       "Error opening temporary file temp.tmp : Permission denied", false},
      // The second reader of the same file (the first two opens are the
      // reading that met the long line and the first reader).
      {"Open", EMFILE, 3, "config.sys",
       "Error opening the file C:\\CONFIG.SYS : Too many open files", true},
      // The first reader of the second pass.
      {"Gets", EIO, 6, "config.sys", "Error reading the file C:\\CONFIG.SYS",
       true},
      {"Gets", EIO, 2, "config.sys", "Error reading the file C:\\CONFIG.SYS",
       false},
      // The read that would find the end of the file.
      {"Gets", EIO, 4, "config.sys", "Error reading the file C:\\CONFIG.SYS",
       false},
      {"Puts", ENOSPC, 2, "temp.tmp", "Error writing the file temp.tmp", false},
      {"Close", ENOSPC, 1, "temp.tmp", "Error writing the file temp.tmp",
       false},
      {"DeleteFileA", ERROR_ACCESS_DENIED, 1, "config.sys", kRenameConfig,
       false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.call) + " " + c.argument);
    const std::string config = c.longLine ? longConfig : kConfigWithMscdex;
    machine().WriteFile(kConfig, config);
    machine().WriteFile(kAutoexec, kFixtureAutoexec);
    DosCdRom('E', 'G');
    faults().Clear();
    faults().Fail(c.call, c.code, c.occurrence, c.argument);
    const int fired = faults().Fired();
    ExpectError(c.message);
    EXPECT_FALSE(UpdateMscdexLines(*table));
    EXPECT_EQ(faults().Fired(), fired + 1);
    // The failed file is as it was, the other one edited.
    EXPECT_EQ(Read(kConfig), config);
    EXPECT_EQ(Read(kAutoexec), kEditedAutoexec);
    EXPECT_FALSE(Exists(kTempPath));
    EXPECT_EQ(machine().OpenStreams(), 0);
    // The next writer of the save works on the same file.
    EXPECT_TRUE(SetLastDrive(*table, 'Z'));
    EXPECT_EQ(Read(kConfig).substr(0, 13), "LASTDRIVE=Z\r\n");
  }
}

TEST_F(DosStartupFilesTest, FailedMoveKeepsTheNewContentWhereTheMessageSays) {
  machine().WriteFile(kConfig, kConfigWithMscdex);
  DosCdRom('E', 'G');
  faults().Fail("MoveFileA", ERROR_ACCESS_DENIED, 1, "temp.tmp");
  ExpectError(std::string("Error renaming C:\\Pelmora\\temp.tmp to "
                          "C:\\CONFIG.SYS : ") +
              kAccessDenied);
  // AUTOEXEC.BAT's edit would overwrite the only copy of CONFIG.SYS.
  ExpectError("Error opening temporary file temp.tmp : File exists");
  EXPECT_FALSE(UpdateMscdexLines(*table));
  EXPECT_FALSE(Exists(kConfig));
  EXPECT_EQ(Read(kTempPath), kEditedConfig);
  EXPECT_EQ(Read(kAutoexec), kFixtureAutoexec);

  // Later writers leave it too: without CONFIG.SYS there is no LASTDRIVE
  // to set, and AUTOEXEC.BAT's edit is refused again.
  EXPECT_TRUE(SetLastDrive(*table, 'Z'));
  ExpectError("Error opening temporary file temp.tmp : File exists");
  EXPECT_FALSE(UpdateMscdexLines(*table));
  EXPECT_EQ(Read(kTempPath), kEditedConfig);

  // Once the user has put it in place, temp.tmp is free again.
  ASSERT_TRUE(platform::kernel().MoveFileA(kTempPath, kConfig));
  EXPECT_TRUE(UpdateMscdexLines(*table));
  EXPECT_EQ(Read(kAutoexec), kEditedAutoexec);
  EXPECT_FALSE(Exists(kTempPath));
}

// ---------------------------------------------------------------- LASTDRIVE

TEST_F(DosStartupFilesTest, LastDriveZComesFirstAndStartingLastDrivesGo) {
  machine().WriteFile(kConfig,
                      "LASTDRIVE=E\r\nDEVICE=HIMEM.SYS\r\nlastdrive=f\r\n"
                      "  LASTDRIVE=G\r\nLastDrive = H\r\nREM LASTDRIVE=I\r\n"
                      "LASTDRIVE=");
  EXPECT_TRUE(SetLastDrive(*table, 'z'));
  EXPECT_EQ(Read(kConfig),
            "LASTDRIVE=Z\r\nDEVICE=HIMEM.SYS\r\n  LASTDRIVE=G\r\n"
            "LastDrive = H\r\nREM LASTDRIVE=I\r\n");
  EXPECT_FALSE(Exists(kTempPath));
  // Rewritten at every save, even when nothing would change.
  const std::string once = Read(kConfig);
  machine().ClearCallLog();
  EXPECT_TRUE(SetLastDrive(*table, 'Z'));
  EXPECT_EQ(Read(kConfig), once);
  EXPECT_EQ(machine().CallCount("MoveFileA"), 1u);
}

TEST_F(DosStartupFilesTest, LastDriveJudgesALongLineByItsStartOnly) {
  // LASTDRIVE= at the head of the second piece of a long line is not a
  // line of its own; a long LASTDRIVE= line goes whole.
  const std::string kept = std::string(255, 'x') + "LASTDRIVE=E\r\n";
  const std::string dropped =
      "LASTDRIVE=" + std::string(300, 'y') + "FILES=40\r\n";
  machine().WriteFile(kConfig, kept + dropped + "FILES=30\r\n");
  EXPECT_TRUE(SetLastDrive(*table, 'Z'));
  EXPECT_EQ(Read(kConfig), "LASTDRIVE=Z\r\n" + kept + "FILES=30\r\n");
}

TEST_F(DosStartupFilesTest, MissingConfigSysIsNoErrorForLastDrive) {
  ASSERT_TRUE(platform::kernel().DeleteFileA(kConfig));
  EXPECT_TRUE(SetLastDrive(*table, 'Z'));
  EXPECT_FALSE(Exists(kConfig));
  EXPECT_FALSE(Exists(kTempPath));
}

TEST_F(DosStartupFilesTest, LastDriveFailuresKeepConfigSys) {
  const struct {
    const char* call;
    uint32_t code;
    int occurrence;
    const char* argument;
    std::string message;
  } cases[] = {
      {"Open", EACCES, 1, "config.sys",
       "Error opening the file C:\\CONFIG.SYS : Permission denied"},
      {"Open", EACCES, 1, "temp.tmp",
       "Error opening temporary file temp.tmp : Permission denied"},
      {"Gets", EIO, 2, "config.sys",
       "Error reading the file C:\\CONFIG.SYS : Input/output error"},
      {"Puts", ENOSPC, 1, "temp.tmp",
       "Error writing the file temp.tmp : No space left on device"},
      {"Close", ENOSPC, 1, "temp.tmp",
       "Error writing the file temp.tmp : No space left on device"},
      {"DeleteFileA", ERROR_ACCESS_DENIED, 1, "config.sys", kRenameConfig},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.call) + " " + c.argument);
    faults().Clear();
    faults().Fail(c.call, c.code, c.occurrence, c.argument);
    ExpectError(c.message);
    EXPECT_FALSE(SetLastDrive(*table, 'Z'));
    EXPECT_EQ(Read(kConfig), kFixtureConfig);
    EXPECT_FALSE(Exists(kTempPath));
    EXPECT_EQ(machine().OpenStreams(), 0);
  }
  // A read-only CONFIG.SYS cannot be deleted.
  faults().Clear();
  ASSERT_TRUE(
      platform::kernel().SetFileAttributesA(kConfig, FILE_ATTRIBUTE_READONLY));
  ExpectError(kRenameConfig);
  EXPECT_FALSE(SetLastDrive(*table, 'Z'));
  EXPECT_EQ(Read(kConfig), kFixtureConfig);
  EXPECT_FALSE(Exists(kTempPath));
}

TEST_F(DosStartupFilesTest, LastDriveFailedMoveKeepsTheNewConfigSys) {
  faults().Fail("MoveFileA", ERROR_ACCESS_DENIED, 1, "temp.tmp");
  ExpectError(std::string("Error renaming C:\\Pelmora\\temp.tmp to "
                          "C:\\CONFIG.SYS : ") +
              kAccessDenied);
  EXPECT_FALSE(SetLastDrive(*table, 'Z'));
  EXPECT_FALSE(Exists(kConfig));
  const char newConfig[] =
      "LASTDRIVE=Z\r\nDEVICE=C:\\WINDOWS\\HIMEM.SYS\r\nDEVICE=C:\\CDROM\\"
      "OAKCDROM.SYS /D:MSCD001\r\nFILES=40\r\n";
  EXPECT_EQ(Read(kTempPath), newConfig);
  // The MSCDEX edit of AUTOEXEC.BAT in the next save does not overwrite it.
  DosCdRom('E', 'G');
  ExpectError("Error opening temporary file temp.tmp : File exists");
  EXPECT_FALSE(UpdateMscdexLines(*table));
  EXPECT_EQ(Read(kTempPath), newConfig);
}

}  // namespace
