// The whole way of a user's request, one machine each: build the list,
// give drives new letters with the letter commands, save, accept the
// reboot, restart the simulated machine, start again — every drive now
// shows its chosen letter as "Old" — and a second save with nothing changed
// writes the same bytes everywhere.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "tests/assign/SaveViewTest.h"

namespace {

const char kLetters[] = "C:\\Pelmora\\Letters.ini";
const char kRebootQuestion[] =
    "The computer must be restarted before the changes will take "
    "effect.\nDo you want to reboot now ?";

// What tells a drive apart in its row, whatever its letter.
struct Facts {
  std::string label, type, serial;
  bool operator==(const Facts& o) const {
    return label == o.label && type == o.type && serial == o.serial;
  }
};

std::ostream& operator<<(std::ostream& out, const Facts& f) {
  return out << "{" << f.label << ", " << f.type << ", " << f.serial << "}";
}

class RoundTripTest : public SaveViewTest {
 protected:
  struct Step {
    char drive;
    char letter;
  };
  // A file the save writes, where it lies before and after the restart.
  struct Place {
    std::string before, after;
  };

  Facts FactsOf(int row) {
    return {Text(row, columnLabel), Text(row, columnType),
            Text(row, columnSerial)};
  }

  // Runs the round trip on the booted machine; `letters` is the expected
  // Letters.ini of the first save.
  void Run(const std::vector<Step>& steps, const std::string& letters,
           const std::vector<Place>& files) {
    ASSERT_TRUE(Create());
    for (const Step& step : steps) Assign(step.drive, step.letter);
    // Each drive's facts under the letter it was given.
    std::map<char, Facts> chosen;
    for (int row = 0; row < view->GetItemCount(); ++row) {
      const std::string text = Text(row, columnNew);
      ASSERT_EQ(text.size(), 2u) << "row " << row << " has no New letter";
      chosen[text[0]] = FactsOf(row);
    }

    Command(ID_FILE_SAVE);
    EXPECT_TRUE(user().Boxes().empty());
    EXPECT_FALSE(view->modified);
    EXPECT_TRUE(view->restartPending);
    EXPECT_EQ(machine().ReadFile(kLetters), letters);
    std::vector<std::string> written;
    for (const Place& file : files)
      written.push_back(machine().ReadFile(file.before));
    const std::string registry = machine().ExportRegistry();

    user().Expect("Pelmora", kRebootQuestion, MB_ICONQUESTION | MB_YESNO,
                  IDYES);
    EXPECT_TRUE(view->QueryClose());
    EXPECT_EQ(machine().ExitRequests(), std::vector<uint32_t>{EWX_REBOOT});
    Close();
    machine().Restart();

    ASSERT_TRUE(Create());
    EXPECT_EQ(view->GetItemCount(), static_cast<int>(chosen.size()));
    for (const auto& entry : chosen) {
      const int row = RowOf(entry.first);
      ASSERT_NE(row, -1) << "no drive at " << entry.first << ":";
      EXPECT_EQ(Text(row, columnOld), std::string("(") + entry.first + ":)");
      EXPECT_EQ(Text(row, columnNew), std::string(1, entry.first) + ":");
      EXPECT_EQ(FactsOf(row), entry.second) << entry.first;
    }
    EXPECT_FALSE(view->modified);

    Command(ID_FILE_SAVE);
    EXPECT_EQ(user().Boxes().size(), 1u);  // only the reboot question
    EXPECT_TRUE(view->restartPending);
    EXPECT_EQ(machine().ReadFile(kLetters), letters);
    for (size_t i = 0; i < files.size(); ++i)
      EXPECT_EQ(machine().ReadFile(files[i].after), written[i])
          << files[i].after;
    EXPECT_EQ(machine().ExportRegistry(), registry);
  }
};

TEST_F(RoundTripTest, TwoHardDisksACdRomAndARamDisk) {
  Boot("roundtrip-disks");
  // DATA and the RAM disk exchange places through the CD-ROM's old letter;
  // the temporary network drive Z: keeps its own.
  Run({{'E', 'R'}, {'D', 'E'}, {'F', 'D'}},
      "A=A:\r\nC=(1A2B-3C4D)\r\nD=F:\r\nE=(0001-ABCD)\r\n/WD=(1A2B-3C4D)\r\n",
      {{"C:\\CONFIG.SYS", "C:\\CONFIG.SYS"},
       {"C:\\AUTOEXEC.BAT", "C:\\AUTOEXEC.BAT"}});
  EXPECT_EQ(machine().ReadFile("E:\\DATA\\README.TXT"),
            "Letters, bills and the household accounts.\r\n");
  EXPECT_EQ(machine().ReadFile("C:\\Pelmora\\drivemap.dat"),
            "Drive map written by KROMVALE at boot\r\n"
            "A B C E F D G H I J K L M N O P Q R S T U V W X Y Z\r\n");
}

TEST_F(RoundTripTest, DriveSpaceHostSwappedWithTheWindowsDrive) {
  Boot("roundtrip-drivespace");
  // C: is the volume swapped with its host and keeps its letter; the host
  // moves through DRVSPACE.INI, the data disk through Letters.ini.
  Run({{'H', 'G'}, {'D', 'E'}}, "A=A:\r\nE=(3C4D-5E6F)\r\n/WD=(2E4F-0C11)\r\n",
      {{"H:\\DRVSPACE.INI", "G:\\DRVSPACE.INI"},
       {"C:\\CONFIG.SYS", "C:\\CONFIG.SYS"}});
  EXPECT_EQ(machine().ReadFile("G:\\DRVSPACE.INI"),
            "[DriveSpace]\r\nMaxRemovableDrives=2\r\nMaxFileFragments=2700\r\n"
            "FirstDrive=G\r\nLastDrive=G\r\nActivateDrive=G,C0\r\n");
  EXPECT_EQ(
      platform::kernel().GetFileAttributesA("G:\\DRVSPACE.INI"),
      static_cast<uint32_t>(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                            FILE_ATTRIBUTE_SYSTEM));
  EXPECT_EQ(Text(RowOf('C'), columnCompression), "Compressed #0 on G, swapped");
}

TEST_F(RoundTripTest, TwoLetterCdRomDeviceAndPersistentNetworkDrive) {
  Boot("roundtrip-network");
  options.saveBy = 1;
  // Selecting the changer's first letter takes the device's second along.
  Run({{'D', 'R'}, {'N', 'G'}}, "A=A:\r\nC=\"MY DISK\"\r\n/WD=\"MY DISK\"\r\n",
      {{"C:\\CONFIG.SYS", "C:\\CONFIG.SYS"}});
  EXPECT_EQ(Text(RowOf('S'), columnType), "CD-ROM");
  EXPECT_EQ(machine().ReadFile("G:\\MINUTES.TXT"),
            "Minutes of the last meeting.\r\n");
  sim::RegValue range;
  ASSERT_TRUE(machine().RegistryValue(
      "HKEY_LOCAL_MACHINE\\Enum\\SCSI\\NEC_CD-ROM_CHANGER\\0000",
      "UserDriveLetterAssignment", &range));
  EXPECT_EQ(range.data, std::string("RS\0", 3));
}

}  // namespace
