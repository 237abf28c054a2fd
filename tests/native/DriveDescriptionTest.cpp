#include <gtest/gtest.h>
#include <string.h>

#include <string>

#include "drives/DriveDescription.h"
#include "platform/Codes.h"
#include "tests/support/MachineTest.h"

namespace {

std::string SizeText(uint32_t kb) {
  char text[32];
  formatSizeText(kb, text, sizeof text);
  return text;
}

TEST(DriveDescriptionTest, SizesSwitchToGigabytesAtOneGigabyte) {
  EXPECT_EQ(SizeText(0), "0.00 MB");
  EXPECT_EQ(SizeText(1440), "1.41 MB");
  EXPECT_EQ(SizeText(1048575), "1024.00 MB");
  EXPECT_EQ(SizeText(1048576), "1.00 GB");
  EXPECT_EQ(SizeText(8388608 + 524288), "8.50 GB");
  EXPECT_EQ(SizeText(0xFFFFFFFFu), "4096.00 GB");
}

TEST(DriveDescriptionTest, TypeNames) {
  const struct {
    uint8_t type;
    const char* name;
  } removable[] = {
      {0, "5.25 Inch Floppy"}, {1, "5.25 Inch Floppy"}, {2, "3.5 Inch Floppy"},
      {7, "3.5 Inch Floppy"},  {9, "3.5 Inch Floppy"},  {3, "8 Inch Floppy"},
      {4, "8 Inch Floppy"},    {5, "Removable"},        {6, "Tape"},
      {8, "Optical"},          {10, "Removable"},       {0xFF, "Removable"}};
  for (const auto& c : removable)
    EXPECT_STREQ(removableTypeName(c.type), c.name) << int(c.type);
  EXPECT_STREQ(fixedTypeName(DRIVE_FIXED), "Fixed");
  EXPECT_STREQ(fixedTypeName(DRIVE_REMOTE), "Network");
  EXPECT_STREQ(fixedTypeName(DRIVE_CDROM), "CD-ROM");
  EXPECT_STREQ(fixedTypeName(DRIVE_RAMDISK), "RAM");
  EXPECT_EQ(fixedTypeName(DRIVE_NO_ROOT_DIR), nullptr);
  EXPECT_EQ(fixedTypeName(DRIVE_UNKNOWN), nullptr);
}

TEST(DriveDescriptionTest, CompressionTexts) {
  char hosted2[27] = "DE";
  char hosted1[27] = "H";
  struct Case {
    int32_t role, swapped;
    char partner, host;
    uint8_t sequence;
    char* hosted;
    const char* text;
  } cases[] = {
      {0, 0, 0, 0, 0, nullptr, ""},
      {1, 0, 0, 'C', 1, nullptr, "Compressed #1 on C"},
      {1, 1, 0, 'H', 12, nullptr, "Compressed #12 on H, swapped"},
      {2, 1, 'D', 0, 0, hosted2, "Host for D,E, swapped with D"},
      {2, 0, 0, 0, 0, hosted2, "Host for D,E"},
      {2, 1, 'H', 0, 0, hosted1, "Host for H, swapped"},
      {2, 0, 0, 0, 0, hosted1, "Host for H"},
  };
  for (const Case& c : cases) {
    DriveRecord r;
    memset(&r, 0, sizeof r);
    r.compressionRole = c.role;
    r.swapped = c.swapped;
    r.swapPartner = c.partner;
    r.hostLetter = c.host;
    r.cvfSequence = c.sequence;
    r.hostedLetters = c.hosted;
    char text[64];
    describeCompression(r, text, sizeof text);
    EXPECT_STREQ(text, c.text);
  }
}

class FirstDriveSpaceLetterTest : public MachineTest {};

TEST_F(FirstDriveSpaceLetterTest, FollowsTheHighestOriginalLetterOfDosDrives) {
  Boot("basic");
  // At boot D and F were swapped, E became G.
  machine().WriteFile(
      machine().Property("Machine", "CurrentDirectory") + "\\drivemap.dat",
      "map\nA B C F G D E H I J K L M N O P Q R S T U V W X Y Z\n");
  DriveTable table;
  EXPECT_EQ(firstDriveSpaceLetterOf(table), 'D');  // nothing present: C + 1
  table.recordOf('C').present = 1;
  table.recordOf('F').present = 1;  // was D at boot
  EXPECT_EQ(firstDriveSpaceLetterOf(table), 'E');
  DriveRecord& g = table.recordOf('G');  // was E at boot
  g.present = 1;
  g.driveType = DRIVE_CDROM;  // CD-ROMs are lettered after DriveSpace
  EXPECT_EQ(firstDriveSpaceLetterOf(table), 'E');
  g.driveType = DRIVE_FIXED;
  g.protectedModeOnly = 1;
  EXPECT_EQ(firstDriveSpaceLetterOf(table), 'E');
  g.protectedModeOnly = 0;
  g.compressionRole = 1;  // an unswapped compressed volume
  EXPECT_EQ(firstDriveSpaceLetterOf(table), 'E');
  g.swapped = 1;  // a swapped one counts
  EXPECT_EQ(firstDriveSpaceLetterOf(table), 'F');
  g.compressionRole = 2;  // a swapped host does not
  EXPECT_EQ(firstDriveSpaceLetterOf(table), 'E');
}

}  // namespace
