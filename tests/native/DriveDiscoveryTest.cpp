#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "assign/AssignmentRules.h"
#include "drives/DriveDiscovery.h"
#include "drives/DriveProbes.h"
#include "platform/Codes.h"
#include "tests/support/MachineTest.h"

namespace {

class NoRows : public DriveRows {
 public:
  int GetRowCount() const override { return 0; }
  int GetRowDrive(int) const override { return -1; }
  void SetRowNewText(int, const char*) override {}
  void SetModified(bool) override {}
  WindowHandle GetBoxOwner() const override { return 0; }
};

// Rows described in letter order on the machine with every kind of drive.
class DriveDiscoveryTest : public MachineTest {
 protected:
  void SetUp() override {
    Boot("probes");
    machine().WriteFile("C:\\Pelmora\\drivemap.dat",
                        "map\nA B C D E F G H I J K L M N O P Q R S T U V W "
                        "X Y Z\n");
    table = std::make_unique<DriveTable>();
    table->persistentConnections.readPersistentConnections();
    queryDriveSpaceMapping(*table);
    rules = std::make_unique<AssignmentRules>(*table, rows);
  }
  void TearDown() override {
    rules.reset();
    table.reset();
    MachineTest::TearDown();
  }
  std::vector<std::string> Describe(char letter, bool hidden = false) {
    const char root[] = {letter, ':', '\\', '\0'};
    DriveRowTexts texts;
    describeDriveRow(*table, *rules, root, nullptr, hidden, &texts,
                     &compressionSeen);
    return std::vector<std::string>(texts.text, texts.text + driveColumnCount);
  }

  NoRows rows;
  std::unique_ptr<DriveTable> table;
  std::unique_ptr<AssignmentRules> rules;
  int32_t compressionSeen = 0;
};

using Texts = std::vector<std::string>;

TEST_F(DriveDiscoveryTest, RowsDescribeEveryKindOfDrive) {
  EXPECT_EQ(Describe('C'), (Texts{"C:", "(C:)", "", "SYSTEM", "Fixed", "",
                                  "FAT32", "4.00 GB", "1.00 GB", "3F2A-1C07"}));
  EXPECT_EQ(Describe('F', true),
            (Texts{"F:", "(F:)", "H", "SCSIDISK", "Fixed", "", "FAT", "1.00 GB",
                   "512.00 MB", "0BAD-F00D"}));
  EXPECT_EQ(table->recordOf('F').protectedModeOnly, 1);
  // The floppy is read through the BIOS while the driver is open.
  Texts a = Describe('A');
  EXPECT_EQ(a[columnType], "3.5 Inch Floppy");
  EXPECT_EQ(a[columnSerial], "1234-ABCD");
  EXPECT_EQ(Describe('E')[columnType], "CD-ROM");
  EXPECT_EQ(compressionSeen, 0);
  EXPECT_EQ(Describe('I')[columnCompression], "Host for J,K, swapped with J");
  EXPECT_EQ(compressionSeen, 1);
  EXPECT_EQ(Describe('J')[columnCompression], "Compressed #1 on I, swapped");
  EXPECT_EQ(Describe('K')[columnCompression], "Compressed #2 on I");
  // A CD-ROM drive without a disc: empty texts and no message.
  EXPECT_EQ(Describe('H'),
            (Texts{"H:", "(H:)", "", "", "CD-ROM", "", "", "", "", ""}));
  EXPECT_TRUE(user().Boxes().empty());
  for (char c : {'A', 'C', 'E', 'F', 'H', 'I', 'J', 'K'})
    EXPECT_EQ(table->recordOf(c).present, 1) << c;
}

TEST_F(DriveDiscoveryTest, FixedDriveFailuresAreReportedAndLeaveEmptyTexts) {
  machine().Faults().Fail("GetVolumeInformationA", ERROR_NOT_READY);
  user().Expect("Pelmora",
                "Error getting volume information for drive C : The device is "
                "not ready.\r\n",
                MB_ICONERROR | MB_OK, IDOK);
  EXPECT_EQ(Describe('C'),
            (Texts{"C:", "(C:)", "", "", "Fixed", "", "", "", "", ""}));
  EXPECT_EQ(table->recordOf('C').serialNumber, 0u);
  EXPECT_EQ(table->recordOf('C').volumeInfoValid, 0);

  machine().Faults().Fail("GetDiskFreeSpaceExA", ERROR_PROC_NOT_FOUND);
  machine().Faults().Fail("GetDiskFreeSpaceA", ERROR_ACCESS_DENIED);
  user().Expect("Pelmora",
                "Error determining total and free space on the drive F. : "
                "Access is denied.\r\n",
                MB_ICONERROR | MB_OK, IDOK);
  Texts f = Describe('F');
  EXPECT_EQ(f[columnTotalSize], "");
  EXPECT_EQ(f[columnSerial], "0BAD-F00D");
  EXPECT_EQ(table->recordOf('F').totalKb, 0u);
}

TEST_F(DriveDiscoveryTest, SizesFallBackToTheOldCallWhereTheNewOneIsMissing) {
  uint32_t total = 0, free = 0;
  ASSERT_EQ(readDiskSpace("F:\\", &total, &free), 1);
  EXPECT_EQ(total, 1048576u);
  EXPECT_EQ(free, 524288u);
  machine().Faults().Fail("GetDiskFreeSpaceExA", ERROR_PROC_NOT_FOUND);
  ASSERT_EQ(readDiskSpace("F:\\", &total, &free), 1);
  EXPECT_EQ(total, 1048576u);
  EXPECT_EQ(free, 524288u);
  // Beyond 2 GB the old call reports no more than 2 GB, as Windows 9x does.
  machine().Faults().Fail("GetDiskFreeSpaceExA", ERROR_PROC_NOT_FOUND);
  ASSERT_EQ(readDiskSpace("C:\\", &total, &free), 1);
  EXPECT_LT(total, 2097152u);
  EXPECT_GT(total, 2000000u);
  machine().Faults().Fail("GetDiskFreeSpaceExA", ERROR_PROC_NOT_FOUND);
  machine().Faults().Fail("GetDiskFreeSpaceA", ERROR_NOT_READY);
  EXPECT_EQ(readDiskSpace("C:\\", &total, &free), 0);
  EXPECT_EQ(total, 0u);
  EXPECT_EQ(free, 0u);
}

TEST_F(DriveDiscoveryTest, UnknownTypeIsReportedUnlessAConnectionNamesIt) {
  machine().Faults().Fail("GetDriveTypeA", 0, 1, "C:");
  user().Expect("Pelmora", "Error determining the type of drive C.",
                MB_ICONERROR | MB_OK, IDOK);
  EXPECT_STREQ(describeDriveType(*table, "C:\\"), "Unknown");
  for (char c = 'A'; c <= 'Z'; ++c) {
    if (!table->hasPersistentConnection(c - 'A')) continue;
    const char root[] = {c, ':', '\\', '\0'};
    machine().Faults().Fail("GetDriveTypeA", 0, 1, root);
    EXPECT_STREQ(describeDriveType(*table, root), "Network") << c;
    EXPECT_EQ(table->recordOf(c).driveType, DRIVE_REMOTE);
    return;
  }
  ADD_FAILURE() << "the fixture has no persistent connection";
}

TEST_F(DriveDiscoveryTest, PendingLettersTheRulesNowRefuseAreDropped) {
  table->recordOf('C').newLetter = 'R';  // still fine
  table->recordOf('J').newLetter = 'Q';  // a swapped compressed volume
  EXPECT_EQ(Describe('C')[columnNew], "R:");
  EXPECT_EQ(Describe('J')[columnNew], "");
  EXPECT_EQ(table->recordOf('J').newLetter, noLetter);
  EXPECT_TRUE(user().Boxes().empty());
}

}  // namespace
