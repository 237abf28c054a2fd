// The simulated restart on its own: which letter each drive gets from the
// files and registry values the boot's programs read, drives moving with
// their files, the companion's drivemap.dat and what Windows writes at its
// start.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Codes.h"
#include "platform/sim/MachineImpl.h"
#include "tests/support/MachineTest.h"

namespace {

const char kCompanionLine[] =
    "@C:\\PELMORA\\KROMVALE.EXE @LETTERS.INI /O:DRIVEMAP.DAT /CD\r\n";

class RestartTest : public MachineTest {
 protected:
  // The drives as "letter=label" in letter order ("A=|C=SYSTEM|D=DATA").
  std::string Drives() {
    std::string text;
    for (char letter : machine().DriveLetters()) {
      if (!text.empty()) text += '|';
      text += std::string(1, letter) + "=" + machine().drive(letter)->label;
    }
    return text;
  }

  void SetString(RegKey root, const char* key, const char* name,
                 const char* text) {
    RegKey handle;
    ASSERT_EQ(platform::registry().RegCreateKeyExA(root, key, 0, KEY_ALL_ACCESS,
                                                   &handle, nullptr),
              0);
    EXPECT_EQ(platform::registry().RegSetValueExA(
                  handle, name, REG_SZ, reinterpret_cast<const uint8_t*>(text),
                  strlen(text) + 1),
              0);
    platform::registry().RegCloseKey(handle);
  }

  FileTime WriteTime(const char* path) {
    platform::FindData data;
    EXPECT_TRUE(platform::kernel().FindFirstFile(path, &data)) << path;
    return data.lastWriteTime;
  }
};

TEST_F(RestartTest, CompanionPlacesDosDrivesByOriginalLetterSerialAndLabel) {
  Boot("roundtrip-disks");
  // The first of two lines for one drive or one letter wins; a line that
  // names no drive, and the Windows drive's line, move nothing.
  machine().WriteFile("C:\\Pelmora\\Letters.ini",
                      "A=A:\r\nC=(1A2B-3C4D)\r\nD=F:\r\nE=DATA\r\n"
                      "G=(DEAD-BEEF)\r\nH=DATA\r\nE=A:\r\n/WD=(1A2B-3C4D)\r\n");
  const FileTime before = machine().Now();
  machine().Restart();
  // DATA, the CD-ROM and the RAM disk went round in a circle: the CD-ROM's
  // range E-E is taken by DATA, so Windows gives it the first free letter.
  EXPECT_EQ(Drives(), "A=|C=SYSTEM|D=MS-RAMDRIVE|E=DATA|F=DISC|Z=TEMP");
  EXPECT_EQ(machine().drive('E')->serial, 0x0001ABCDu);
  EXPECT_EQ(machine().drive('E')->dosLetter, 'D');
  EXPECT_EQ(machine().drive('D')->type, static_cast<uint32_t>(DRIVE_RAMDISK));
  EXPECT_EQ(machine().ReadFile("E:\\DATA\\README.TXT"),
            "Letters, bills and the household accounts.\r\n");
  EXPECT_EQ(machine().ReadFile("F:\\AUTORUN.INF"),
            "[autorun]\r\nopen=SETUP.EXE\r\n");
  EXPECT_FALSE(machine().Exists("D:\\DATA"));
  // Original D is now E and original F is D; the free letters keep their
  // own where they can, so the map stays one to one.
  EXPECT_EQ(machine().ReadFile("C:\\Pelmora\\drivemap.dat"),
            "Drive map written by KROMVALE at boot\r\n"
            "A B C E F D G H I J K L M N O P Q R S T U V W X Y Z\r\n");
  // Windows started a minute later and kept its registry copy.
  EXPECT_GE(machine().Now(), before + 60ull * 10000000ull);
  EXPECT_GT(WriteTime("C:\\WINDOWS\\SYSTEM.DA0"), before);
  EXPECT_EQ(machine().ReadFile("C:\\WINDOWS\\SYSTEM.DA0"),
            machine().ExportRegistry());
}

TEST_F(RestartTest, WithoutTheCompanionLettersIniChangesNothing) {
  Boot("roundtrip-disks");
  machine().WriteFile("C:\\AUTOEXEC.BAT",
                      std::string("REM ") + kCompanionLine + "@ECHO OFF\r\n");
  machine().WriteFile("C:\\Pelmora\\Letters.ini", "G=DATA\r\n");
  const std::string map = machine().ReadFile("C:\\Pelmora\\drivemap.dat");
  machine().Restart();
  EXPECT_EQ(Drives(), "A=|C=SYSTEM|D=DATA|E=DISC|F=MS-RAMDRIVE|Z=TEMP");
  EXPECT_EQ(machine().ReadFile("C:\\Pelmora\\drivemap.dat"), map);
}

TEST_F(RestartTest, PathsFollowTheirDriveAndAnEmptyFileGivesTheDosLetters) {
  Boot("roundtrip-disks");
  machine().WriteFile("C:\\Pelmora\\Letters.ini",
                      "G=(1A2B-3C4D)\r\nH=DATA\r\n");
  machine().Restart();
  EXPECT_EQ(Drives(), "A=|E=DISC|F=MS-RAMDRIVE|G=SYSTEM|H=DATA|Z=TEMP");
  char text[260];
  platform::kernel().GetWindowsDirectoryA(text, sizeof text);
  EXPECT_STREQ(text, "G:\\WINDOWS");
  platform::kernel().GetModuleFileNameA(text, sizeof text);
  EXPECT_STREQ(text, "G:\\Pelmora\\Kromva32.exe");
  EXPECT_TRUE(machine().Exists("G:\\WINDOWS\\SYSTEM.DA0"));
  EXPECT_EQ(machine().ReadFile("G:\\Pelmora\\drivemap.dat"),
            "Drive map written by KROMVALE at boot\r\n"
            "A B G H E F C D I J K L M N O P Q R S T U V W X Y Z\r\n");

  // Disabled: the companion still runs from C: as MS-DOS names it, finds
  // nothing to do, and every DOS drive is back where MS-DOS put it.
  machine().WriteFile("G:\\Pelmora\\Letters.ini", "");
  machine().Restart();
  EXPECT_EQ(Drives(), "A=|C=SYSTEM|D=DATA|E=DISC|F=MS-RAMDRIVE|Z=TEMP");
  platform::kernel().GetWindowsDirectoryA(text, sizeof text);
  EXPECT_STREQ(text, "C:\\WINDOWS");
  EXPECT_EQ(machine().ReadFile("C:\\Pelmora\\drivemap.dat"),
            "Drive map written by KROMVALE at boot\r\n"
            "A B C D E F G H I J K L M N O P Q R S T U V W X Y Z\r\n");
}

TEST_F(RestartTest, DriveSpaceMscdexAndWindowsGiveTheirDrivesLetters) {
  // probes: host I: with J: (swapped) and K: (#2); DOS CD-ROM E:; F: served
  // in protected mode only, its value unusable; changer G:/H: reserving GH.
  Boot("probes");
  machine().WriteFile("C:\\DRVSPACE.INI",
                      "FirstDrive=L\r\nactivatedrive=L,J0\r\n"
                      "ActivateDrive=M,I2\r\nActivateDrive=P,I7\r\n");
  machine().WriteFile("C:\\AUTOEXEC.BAT",
                      "REM MSCDEX /L:S\r\nLH MSCDEX.EXE /D:MSCD001 /l:r\r\n");
  machine().Restart();
  EXPECT_EQ(Drives(),
            "A=FLOPPY|B=|C=SYSTEM|D=SCSIDISK|G=DISC1|H=|J=COMPRESSED|"
            "L=HOST_FOR_J|M=COMPRESSED2|R=DOSCD");
  // The volumes know their host by its new letter.
  EXPECT_EQ(machine().drive('J')->device.compressedOn, 'L');
  EXPECT_EQ(machine().drive('M')->device.compressedOn, 'L');
  EXPECT_EQ(machine().drive('M')->Property("CompressedOn"), "L");
  // No companion in AUTOEXEC.BAT: no map.
  EXPECT_FALSE(machine().Exists("C:\\Pelmora\\drivemap.dat"));
}

TEST_F(RestartTest, NetworkDriveAndChangerFollowTheirRegistryValues) {
  Boot("roundtrip-network");
  platform::registry().RegDeleteKeyA(HKEY_CURRENT_USER,
                                     "Network\\Persistent\\N");
  SetString(HKEY_CURRENT_USER, "Network\\Persistent\\G", "RemotePath",
            "\\\\SERVER\\SHARED");
  // R is taken: the changer's second letter is the next of its range.
  SetString(HKEY_LOCAL_MACHINE, "Enum\\SCSI\\NEC_CD-ROM_CHANGER\\0000",
            "UserDriveLetterAssignment", "QS");
  machine().WriteFile("C:\\Pelmora\\Letters.ini", "R=A:\r\n");
  machine().Restart();
  EXPECT_EQ(Drives(), "C=MY DISK|G=SHARED|Q=DISC1|R=|S=");
  EXPECT_EQ(machine().drive('S')->type, static_cast<uint32_t>(DRIVE_CDROM));
  EXPECT_EQ(machine().ReadFile("G:\\MINUTES.TXT"),
            "Minutes of the last meeting.\r\n");
}

TEST_F(RestartTest, RestartWhileTheProgramRunsChangesNothing) {
  Boot("roundtrip-disks");
  std::vector<std::string> reports;
  machine().SetFailureHandler(
      [&](const std::string& message) { reports.push_back(message); });
  machine().WriteFile("C:\\Pelmora\\Letters.ini", "G=DATA\r\n");
  platform::Stream* open = platform::files().Open("C:\\CONFIG.SYS", "rt");
  ASSERT_NE(open, nullptr);
  const FileTime before = machine().Now();
  machine().Restart();
  EXPECT_EQ(reports,
            std::vector<std::string>{
                "Restart: the program still runs (a stream, the driver, DOS "
                "memory or a registry key is open)"});
  EXPECT_EQ(Drives(), "A=|C=SYSTEM|D=DATA|E=DISC|F=MS-RAMDRIVE|Z=TEMP");
  EXPECT_LT(machine().Now(), before + 60ull * 10000000ull);
  platform::files().Close(open);
}

}  // namespace
