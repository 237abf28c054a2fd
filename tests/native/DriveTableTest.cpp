#include "drives/DriveTable.h"

#include <gtest/gtest.h>

#include <string.h>

#include "platform/Codes.h"
#include "tests/support/MachineTest.h"

namespace {

class DriveTableTest : public MachineTest {
 protected:
  void SetUp() override {
    Boot("basic");
    mapPath = machine().Property("Machine", "CurrentDirectory") +
              "\\drivemap.dat";
    // C and D swapped at boot.
    machine().WriteFile(mapPath,
                        "map\r\nA B D C E F G H I J K L M N O P Q R S T U V W "
                        "X Y Z\r\n");
  }
  std::string mapPath;
};

TEST_F(DriveTableTest, ConstructionReadsTheMapAndLeavesRecordsEmpty) {
  DriveTable table;
  EXPECT_EQ(table.currentLetterOf('C'), 'D');
  EXPECT_EQ(table.originalLetterOf('C'), 'D');
  for (int i = 0; i < DriveTable::driveCount; ++i) {
    const DriveRecord& r = table.record(i);
    EXPECT_EQ(r.newLetter, 'A' + i);
    EXPECT_EQ(r.present, 0);
    EXPECT_EQ(r.shellItem, nullptr);
    EXPECT_EQ(r.hostedLetters, nullptr);
    EXPECT_EQ(r.deviceKeyPath, nullptr);
    EXPECT_EQ(r.letterGroup, nullptr);
    EXPECT_EQ(r.volumeLabel[0], '\0');
    EXPECT_EQ(r.serialNumber, 0u);
    EXPECT_EQ(r.driveType, 0);
    EXPECT_FALSE(table.hasPersistentConnection(i));
  }
  EXPECT_EQ(table.letterGroupCount, 0);
  EXPECT_EQ(table.computerFolder, nullptr);
  EXPECT_TRUE(table.driverLink.isDriverOpen());
}

TEST_F(DriveTableTest, ConstructionReportsABadMapAndGoesOn) {
  machine().WriteFile(mapPath, "map\r\nA B C\r\n");
  machine().User().Expect("Pelmora", "File drivemap.dat has bad format.",
                          MB_ICONERROR | MB_OK, IDOK);
  DriveTable table;
  EXPECT_EQ(table.driveMap.valid, 0);
  EXPECT_EQ(table.currentLetterOf('C'), 0);
  EXPECT_EQ(table.record(2).newLetter, 'C');
}

TEST_F(DriveTableTest, RecordsAreReachedByIndexAndByLetter) {
  DriveTable table;
  EXPECT_EQ(&table.recordOf('A'), &table.record(0));
  EXPECT_EQ(&table.recordOf('Z'), &table.record(25));
}

TEST_F(DriveTableTest, LogicalDrivesAreAskedAtEveryCall) {
  DriveTable table;
  uint32_t mask = platform::kernel().GetLogicalDrives();
  for (int i = 0; i < DriveTable::driveCount; ++i) {
    EXPECT_EQ(table.isLogicalDrive(i), ((mask >> i) & 1u) != 0) << i;
  }
  machine().ClearCallLog();
  table.isLogicalDrive(2);
  table.isLogicalDrive(2);
  int asked = 0;
  for (const std::string& call : machine().CallLog()) {
    if (call.rfind("GetLogicalDrives", 0) == 0) ++asked;
  }
  EXPECT_EQ(asked, 2);
  EXPECT_FALSE(table.isLogicalDrive(-1));
  EXPECT_FALSE(table.isLogicalDrive(26));
}

TEST_F(DriveTableTest, ClearFreesWhatRecordsOwnAndKeepsNewLetters) {
  DriveTable table;
  DriveRecord& c = table.recordOf('C');
  c.present = 1;
  c.newLetter = 'H';
  c.hostedLetters = new char[27]();
  strcpy(c.hostedLetters, "HI");
  c.deviceKeyPath = new char[256]();
  DriveRecord& e = table.recordOf('E');
  e.present = 1;
  e.newLetter = noLetter;
  table.clear();
  EXPECT_EQ(c.present, 0);
  EXPECT_EQ(c.hostedLetters, nullptr);
  EXPECT_EQ(c.deviceKeyPath, nullptr);
  EXPECT_EQ(c.newLetter, 'H');
  EXPECT_EQ(e.present, 0);
  EXPECT_EQ(e.newLetter, noLetter);
  table.clear();  // a second clear has nothing left to free
}

TEST(DriveRecordTest, SerialTextIsHighWordHyphenLowWord) {
  struct Case {
    int32_t valid;
    uint32_t serial;
    const char* text;
  } cases[] = {
      {1, 0x1A2B3C4Du, "1A2B-3C4D"},
      {1, 0x0000ABCDu, "0000-ABCD"},
      {1, 0xFFFFFFFFu, "FFFF-FFFF"},
      {1, 0u, "0000-0000"},
      {0, 0x1A2B3C4Du, ""},
  };
  for (const Case& c : cases) {
    DriveRecord record;
    memset(&record, 0, sizeof record);
    strcpy(record.serialText, "stale");
    record.volumeInfoValid = c.valid;
    record.serialNumber = c.serial;
    record.formatSerialText();
    EXPECT_STREQ(record.serialText, c.text);
  }
}

}  // namespace
