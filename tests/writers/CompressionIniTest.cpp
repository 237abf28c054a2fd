// The compression software's settings file: where it is looked for, which
// lines are replaced, what is appended, its attributes and its times, and
// every failure with the settings intact or their new content kept.
#include <errno.h>

#include <iterator>

#include "platform/sim/Machine.h"
#include "tests/writers/WritersTest.h"
#include "writers/CompressionIni.h"

namespace {

const char kIni[] = "C:\\DrvSpace.ini";
const char kDblIni[] = "C:\\DblSpace.ini";
const char kIniTemp[] = "C:\\Pelmora\\DrvSpIni.tmp";
const FileTime kThirtySeconds = 30ull * 10000000ull;

// A settings file with the keys in every spelling, comments and sections.
const char kSettings[] =
    "; DriveSpace settings\r\n"
    "MaxRemovableDrives=2\r\n"
    "firstdrive=E\r\n"
    "FirstDrive =E\r\n"
    "LASTDRIVE=H\r\n"
    "ActivateDrive=H,C1\r\n"
    "Automount=1\r\n"
    "[Options]\r\n"
    "  LastDrive=Q\r\n"
    "ActivateDrive\r\n";
const char kKept[] =
    "; DriveSpace settings\r\n"
    "MaxRemovableDrives=2\r\n"
    "FirstDrive =E\r\n"
    "Automount=1\r\n"
    "[Options]\r\n"
    "  LastDrive=Q\r\n"
    "ActivateDrive\r\n";

class CompressionIniTest : public WritersTest {
 protected:
  void SetUp() override {
    WritersTest::SetUp();
    table->compressionPresent = 1;
    Drive('C', DRIVE_FIXED, 'C');
  }

  DriveRecord& Volume(char letter, char host, uint8_t sequence,
                      char newLetter) {
    DriveRecord& record = Drive(letter, DRIVE_FIXED, newLetter);
    record.compressionRole = 1;
    record.hostLetter = host;
    record.cvfSequence = sequence;
    return record;
  }

  DriveRecord& Host(char letter, char newLetter) {
    DriveRecord& record = Drive(letter, DRIVE_FIXED, newLetter);
    record.compressionRole = 2;
    return record;
  }

  // A volume swapped with its host: the volume has the host's old letter.
  void SwappedPair(char volume, char host, char hostNewLetter) {
    DriveRecord& v = Volume(volume, host, 0, 'P');
    v.swapped = 1;
    v.swapPartner = host;
    Host(host, hostNewLetter).swapped = 1;
  }

  uint32_t Attributes(const char* path) {
    return platform::kernel().GetFileAttributesA(path);
  }
};

TEST_F(CompressionIniTest, WithoutCompressionOrQualifyingDriveNothingIsOpened) {
  machine().WriteFile(kIni, kSettings);
  // No compression software: even a volume with a New letter changes
  // nothing.
  table->compressionPresent = 0;
  Volume('E', 'D', 0, 'K');
  EXPECT_TRUE(UpdateCompressionIni(*table));
  EXPECT_FALSE(Opened(kIni));

  // None of these takes its letter from the compression software.
  table->compressionPresent = 1;
  table->recordOf('E').newLetter = noLetter;
  Host('D', 'D');
  Volume('F', 'D', 1, 'L').protectedModeOnly = 1;
  Volume('G', 'I', 0, 'M').swapped = 1;
  Host('I', 'N');
  EXPECT_TRUE(UpdateCompressionIni(*table));
  EXPECT_FALSE(Opened(kIni));
  EXPECT_EQ(Read(kIni), kSettings);
}

TEST_F(CompressionIniTest, OwnLinesAreReplacedAfterTheKeptOnes) {
  machine().WriteFile(kIni, kSettings);
  Host('D', 'D');
  Volume('E', 'D', 1, 'K');
  Volume('F', 'D', 2, 'L');
  SwappedPair('G', 'I', 'M');
  // Left out: a protected-mode-only volume, a volume without New letter.
  Volume('J', 'D', 4, 'A').protectedModeOnly = 1;
  Volume('H', 'D', 3, noLetter);
  EXPECT_TRUE(UpdateCompressionIni(*table));
  EXPECT_EQ(Read(kIni), std::string(kKept) +
                            "FirstDrive=K\r\nLastDrive=M\r\n"
                            "ActivateDrive=K,D1\r\nActivateDrive=L,D2\r\n"
                            "ActivateDrive=M,G0\r\n");
  EXPECT_FALSE(Exists(kIniTemp));
}

TEST_F(CompressionIniTest, SingleDriveGivesEqualFirstAndLast) {
  machine().WriteFile(kIni, "FirstDrive=E\r\nLastDrive=E\r\n");
  Volume('E', 'C', 0, 'H');
  EXPECT_TRUE(UpdateCompressionIni(*table));
  EXPECT_EQ(Read(kIni),
            "FirstDrive=H\r\nLastDrive=H\r\nActivateDrive=H,C0\r\n");
}

TEST_F(CompressionIniTest, LinesLongerThanAPieceAreJudgedByTheirStart) {
  // FirstDrive= at the head of the second piece of a long line is no line
  // of its own; a long FirstDrive line goes whole.
  const std::string kept =
      "Comment=" + std::string(119, 'x') + "FirstDrive=Q\r\n";
  const std::string dropped = "FirstDrive=" + std::string(200, 'y') + "\r\n";
  const std::string longKey = std::string(130, 'k') + "=FirstDrive\r\n";
  machine().WriteFile(kIni, kept + dropped + longKey);
  Volume('E', 'C', 0, 'H');
  EXPECT_TRUE(UpdateCompressionIni(*table));
  EXPECT_EQ(Read(kIni), kept + longKey +
                            "FirstDrive=H\r\nLastDrive=H\r\n"
                            "ActivateDrive=H,C0\r\n");
}

TEST_F(CompressionIniTest, ALastLineWithoutLineEndIsEndedBeforeTheOwnLines) {
  // Appended straight after it, FirstDrive= would join that line and be
  // lost to the compression software; a dropped last line needs no end.
  const struct {
    const char* file;
    const char* kept;
  } cases[] = {
      {"Automount=1", "Automount=1\r\n"},
      {"Automount=1\r\nFirstDrive=E", "Automount=1\r\n"},
      {"", ""},
  };
  for (const auto& c : cases) {
    machine().WriteFile(kIni, c.file);
    Volume('E', 'C', 0, 'H');
    EXPECT_TRUE(UpdateCompressionIni(*table));
    const std::string expected = std::string(c.kept) +
                                 "FirstDrive=H\r\nLastDrive=H\r\n"
                                 "ActivateDrive=H,C0\r\n";
    EXPECT_EQ(Read(kIni), expected) << c.file;
    // The rewritten file is stable.
    EXPECT_TRUE(UpdateCompressionIni(*table));
    EXPECT_EQ(Read(kIni), expected) << c.file;
  }
}

TEST_F(CompressionIniTest, ReadOnlyHiddenFileStaysSoAndIsDated30SecondsBack) {
  machine().WriteFile(kIni, kSettings);
  const uint32_t hidden = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN;
  ASSERT_TRUE(platform::kernel().SetFileAttributesA(kIni, hidden));
  Volume('E', 'C', 0, 'H');
  machine().AdvanceClock(3600 * 1000);
  const FileTime before = machine().Now();
  EXPECT_TRUE(UpdateCompressionIni(*table));
  const FileTime after = machine().Now();
  EXPECT_EQ(Read(kIni), std::string(kKept) +
                            "FirstDrive=H\r\nLastDrive=H\r\n"
                            "ActivateDrive=H,C0\r\n");
  EXPECT_EQ(Attributes(kIni) & (hidden | FILE_ATTRIBUTE_SYSTEM), hidden);
  platform::FindData data;
  ASSERT_TRUE(platform::kernel().FindFirstFile(kIni, &data));
  EXPECT_EQ(data.lastWriteTime, data.lastAccessTime);
  EXPECT_GE(data.lastWriteTime, before - kThirtySeconds);
  EXPECT_LE(data.lastWriteTime, after - kThirtySeconds);
  EXPECT_FALSE(Exists(kIniTemp));
}

TEST_F(CompressionIniTest, SettingsFileIsLookedForWhereDosBootedFrom) {
  const char identity[] =
      "map\r\nA B C D E F G H I J K L M N O P Q R S T U V W X Y Z\r\n";
  const char swappedAtBoot[] =
      "map\r\nA B D C E F G H I J K L M N O P Q R S T U V W X Y Z\r\n";
  const struct {
    const char* map;  // null: no valid map
    bool bootVolumeSwapped;
    bool drvSpaceOnC, dblSpaceOnC, drvSpaceOnD;
    const char* found;  // null: none
  } cases[] = {
      {identity, false, true, true, true, "C:\\DrvSpace.ini"},
      {identity, false, false, true, true, "C:\\DblSpace.ini"},
      {identity, false, false, false, true, nullptr},
      {nullptr, false, true, false, false, "C:\\DrvSpace.ini"},
      // C: is a compressed volume swapped with its host D:.
      {identity, true, true, false, true, "D:\\DrvSpace.ini"},
      {nullptr, true, true, false, true, "D:\\DrvSpace.ini"},
      // MS-DOS's C: is D: now.
      {swappedAtBoot, false, true, false, true, "D:\\DrvSpace.ini"},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    const auto& c = cases[i];
    SCOPED_TRACE(i);
    if (c.map) {
      machine().WriteFile("C:\\Pelmora\\drivemap.dat", c.map);
    } else {
      ASSERT_TRUE(platform::kernel().DeleteFileA("C:\\Pelmora\\drivemap.dat"));
      user().Expect("Pelmora",
                    "Error opening file drivemap.dat : No such file or "
                    "directory",
                    kErrorBox, IDOK);
    }
    table = std::make_unique<DriveTable>();
    if (c.bootVolumeSwapped) SwappedPair('C', 'D', 'D');
    const struct {
      const char* path;
      bool present;
    } files[] = {{kIni, c.drvSpaceOnC},
                 {kDblIni, c.dblSpaceOnC},
                 {"D:\\DrvSpace.ini", c.drvSpaceOnD}};
    for (const auto& f : files) {
      if (f.present) {
        machine().WriteFile(f.path, "x\r\n");
      } else if (Exists(f.path)) {
        ASSERT_TRUE(platform::kernel().DeleteFileA(f.path));
      }
    }
    char path[260] = "unchanged";
    EXPECT_EQ(FindCompressionIni(*table, path, sizeof path),
              c.found != nullptr);
    EXPECT_EQ(std::string(path), c.found ? c.found : "");
  }
}

TEST_F(CompressionIniTest, DrvSpaceIniIsPreferredAndAHostOnAnotherDriveWorks) {
  machine().WriteFile(kIni, kSettings);
  machine().WriteFile(kDblIni, kSettings);
  Volume('E', 'C', 0, 'H');
  EXPECT_TRUE(UpdateCompressionIni(*table));
  EXPECT_EQ(Read(kDblIni), kSettings);
  EXPECT_NE(Read(kIni), kSettings);

  // C: swapped with its host D:: the file on D: is rewritten, across drives
  // from the program's directory.
  machine().WriteFile("D:\\DRVSPACE.INI", kSettings);
  const std::string onC = Read(kIni);
  SwappedPair('C', 'D', 'E');
  table->recordOf('E').present = 0;
  EXPECT_TRUE(UpdateCompressionIni(*table));
  EXPECT_EQ(Read("D:\\DRVSPACE.INI"),
            std::string(kKept) +
                "FirstDrive=E\r\nLastDrive=E\r\nActivateDrive=E,C0\r\n");
  EXPECT_EQ(Read(kIni), onC);
  EXPECT_FALSE(Exists(kIniTemp));
}

TEST_F(CompressionIniTest, MissingSettingsFileIsReported) {
  Volume('E', 'C', 0, 'H');
  ExpectError("Cannot find file DRVSPACE.INI or DBLSPACE.INI");
  EXPECT_FALSE(UpdateCompressionIni(*table));
  EXPECT_FALSE(Exists(kIni));
  EXPECT_FALSE(Exists(kIniTemp));
}

TEST_F(CompressionIniTest, FailuresKeepTheSettingsAndTheirAttributes) {
  const std::string renameFailed =
      std::string("Error renaming DrvSpIni.tmp to C:\\DrvSpace.ini : ") +
      kAccessDenied;
  const std::string newContent = std::string(kKept) +
                                 "FirstDrive=H\r\nLastDrive=H\r\n"
                                 "ActivateDrive=H,C0\r\n";
  enum Outcome { unchanged, temporaryLeft, replacedWithoutAttributes };
  const struct {
    const char* call;
    uint32_t code;
    int occurrence;
    const char* argument;
    std::string message;
    Outcome outcome;
  } cases[] = {
      {"Open", EACCES, 1, "drvspace.ini",
       "Error opening the file C:\\DrvSpace.ini : Permission denied",
       unchanged},
      {"Open", EACCES, 1, "drvspini.tmp",
       "Error opening the file DrvSpIni.tmp for writing. : Permission "
       "denied",
       unchanged},
      {"Gets", EIO, 3, "drvspace.ini",
       "Error reading the file C:\\DrvSpace.ini", unchanged},
      {"Puts", ENOSPC, 1, "drvspini.tmp",
       "Error writing temporary file DrvSpIni.tmp : No space left on device",
       unchanged},
      {"Close", ENOSPC, 1, "drvspini.tmp",
       "Error writing temporary file DrvSpIni.tmp : No space left on device",
       unchanged},
      {"SetFileTime", ERROR_ACCESS_DENIED, 1, "drvspini.tmp",
       std::string("Error writing temporary file DrvSpIni.tmp : ") +
           kAccessDenied,
       unchanged},
      // The second look at the file's attributes; the first one found it.
      {"GetFileAttributesA", ERROR_ACCESS_DENIED, 2, "drvspace.ini",
       renameFailed, temporaryLeft},
      {"SetFileAttributesA", ERROR_ACCESS_DENIED, 1, "drvspace.ini",
       renameFailed, temporaryLeft},
      {"DeleteFileA", ERROR_ACCESS_DENIED, 1, "drvspace.ini", renameFailed,
       temporaryLeft},
      // Putting the attributes back on the new file.
      {"SetFileAttributesA", ERROR_ACCESS_DENIED, 2, "drvspace.ini",
       renameFailed, replacedWithoutAttributes},
  };
  const uint32_t hidden = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN;
  Volume('E', 'C', 0, 'H');
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.call) + " " + c.argument);
    if (Exists(kIni)) {
      ASSERT_TRUE(platform::kernel().SetFileAttributesA(kIni, 0));
    }
    machine().WriteFile(kIni, kSettings);
    ASSERT_TRUE(platform::kernel().SetFileAttributesA(kIni, hidden));
    faults().Clear();
    faults().Fail(c.call, c.code, c.occurrence, c.argument);
    const int fired = faults().Fired();
    ExpectError(c.message);
    EXPECT_FALSE(UpdateCompressionIni(*table));
    EXPECT_EQ(faults().Fired(), fired + 1);
    EXPECT_EQ(machine().OpenStreams(), 0);
    if (c.outcome == replacedWithoutAttributes) {
      EXPECT_EQ(Read(kIni), newContent);
      EXPECT_EQ(Attributes(kIni) & hidden, 0u);
    } else {
      EXPECT_EQ(Read(kIni), kSettings);
      EXPECT_EQ(Attributes(kIni) & hidden, hidden);
    }
    // Left only by a failed replacement, holding the new settings.
    EXPECT_EQ(Exists(kIniTemp), c.outcome == temporaryLeft);
    if (c.outcome == temporaryLeft) {
      EXPECT_EQ(Read(kIniTemp), newContent);
      ASSERT_TRUE(platform::kernel().DeleteFileA(kIniTemp));
    }
  }
}

TEST_F(CompressionIniTest, FailedMoveKeepsTheNewSettingsWhereTheMessageSays) {
  machine().WriteFile(kIni, kSettings);
  machine().WriteFile(kDblIni, kSettings);
  Volume('E', 'C', 0, 'H');
  faults().Fail("MoveFileA", ERROR_ACCESS_DENIED, 1, "drvspini.tmp");
  ExpectError(std::string("Error renaming C:\\Pelmora\\DrvSpIni.tmp to "
                          "C:\\DrvSpace.ini : ") +
              kAccessDenied);
  EXPECT_FALSE(UpdateCompressionIni(*table));
  EXPECT_FALSE(Exists(kIni));
  const std::string newContent = std::string(kKept) +
                                 "FirstDrive=H\r\nLastDrive=H\r\n"
                                 "ActivateDrive=H,C0\r\n";
  EXPECT_EQ(Read(kIniTemp), newContent);
  // The next save finds DBLSPACE.INI, but must not write over the only
  // copy of DRVSPACE.INI's new settings.
  ExpectError("Error opening the file DrvSpIni.tmp for writing. : File exists");
  EXPECT_FALSE(UpdateCompressionIni(*table));
  EXPECT_EQ(Read(kIniTemp), newContent);
  EXPECT_EQ(Read(kDblIni), kSettings);
}

}  // namespace
