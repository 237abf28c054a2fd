// The driver link and the table's start-up and shutdown of both links.
#include <gtest/gtest.h>
#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <string>

#include "drives/DriveTable.h"
#include "drives/DriverLink.h"
#include "platform/Codes.h"
#include "tests/support/MachineTest.h"

namespace {

const char kVxdMessage[] =
    "Error opening Kromvale.VxD. Check if this file exists in the application "
    "directory. The program will function incorrectly without this file.";
const char kDosMessage[] =
    "Error allocating MS-DOS memory. The program may function incorrectly.";

class DriverLinkTest : public MachineTest {
 protected:
  void SetUp() override {
    Boot("basic");
    machine().WriteFile("C:\\Pelmora\\drivemap.dat",
                        "map\nA B C D E F G H I J K L M N O P Q R S T U V W X "
                        "Y Z\n");
  }
  void ExpectError(const char* text) {
    user().Expect("Pelmora", text, MB_ICONERROR | MB_OK, IDOK);
  }
  std::vector<std::string> Calls(const char* prefix) {
    std::vector<std::string> found;
    for (const std::string& call : machine().CallLog())
      if (call.rfind(prefix, 0) == 0) found.push_back(call);
    return found;
  }
};

TEST_F(DriverLinkTest, TheTableOpensTheDriverOnItsStackBufferAndClosesAll) {
  {
    DriveTable table;
    ASSERT_TRUE(table.driverLink.isDriverOpen());
    EXPECT_EQ(table.driverLink.realStackSegment, table.dosStackBuffer.segment);
    EXPECT_EQ(table.driverLink.protectedStackSelector,
              table.dosStackBuffer.selector);
    EXPECT_EQ(table.driverLink.realStackSize, 4096);
    EXPECT_EQ(table.driverLink.protectedStackSize, 4096);
    EXPECT_EQ(machine().DosBlocks(), 2);
    EXPECT_EQ(machine().OpenDriverHandles(), 1);
    EXPECT_EQ(Calls("CreateFileA"),
              std::vector<std::string>{
                  "CreateFileA \\\\.\\Kromvale.VxD access=00000000 "
                  "share=00000000 creation=00000000 flags=04000000"});
    EXPECT_EQ(Calls("GlobalDosAlloc"),
              (std::vector<std::string>{"GlobalDosAlloc 4096",
                                        "GlobalDosAlloc 512"}));
    machine().ClearCallLog();
  }
  // Shutdown: both buffers, then the handle (which unloads the driver).
  std::vector<std::string> order;
  for (const std::string& call : machine().CallLog())
    if (call.rfind("GlobalDosFree", 0) == 0 ||
        call.rfind("CloseHandle", 0) == 0)
      order.push_back(call.substr(0, call.find(' ')));
  EXPECT_EQ(order, (std::vector<std::string>{"GlobalDosFree", "GlobalDosFree",
                                             "CloseHandle"}));
  EXPECT_EQ(machine().DosBlocks(), 0);
  EXPECT_EQ(machine().OpenDriverHandles(), 0);
}

TEST_F(DriverLinkTest,
       WithoutTheDriverFileTheTableSaysSoOnceAndGivesTheMemoryBack) {
  std::remove(machine().HostPath("C:\\Pelmora\\Kromvale.VxD").c_str());
  ExpectError(kVxdMessage);
  DriveTable table;
  EXPECT_FALSE(table.driverLink.isDriverOpen());
  EXPECT_EQ(machine().DosBlocks(), 0);
}

TEST_F(DriverLinkTest, TheDriverIsFoundInTheSystemFolderToo) {
  std::string bytes = machine().ReadFile("C:\\Pelmora\\Kromvale.VxD");
  std::remove(machine().HostPath("C:\\Pelmora\\Kromvale.VxD").c_str());
  machine().WriteFile("C:\\WINDOWS\\SYSTEM\\KROMVALE.VXD", bytes);
  DriveTable table;
  EXPECT_TRUE(table.driverLink.isDriverOpen());
}

TEST_F(DriverLinkTest, WithoutDosMemoryThereIsNoDriverAndNothingIsHeld) {
  struct Case {
    const char* call;
    int occurrence;
  } cases[] = {
      {"GetModuleHandleA", 1},  // no 16-bit services (as under Wine)
      {"GlobalDosAlloc", 1},    // the stack buffer
      {"GlobalDosAlloc", 2},    // the data buffer: the stack one goes back
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.call) + " " + std::to_string(c.occurrence));
    faults().Fail(c.call, ERROR_NOT_ENOUGH_MEMORY, c.occurrence);
    ExpectError(kDosMessage);
    {
      DriveTable table;
      EXPECT_FALSE(table.driverLink.isDriverOpen());
      EXPECT_EQ(machine().DosBlocks(), 0);
      EXPECT_EQ(machine().CallCount("CreateFileA"), 0u);
    }
    user().Done();
    faults().Clear();
    machine().ClearCallLog();
  }
}

TEST_F(DriverLinkTest, OpeningAgainClosesTheFirstHandle) {
  DriverLink link;
  ASSERT_EQ(link.openDriver("\\\\.\\Kromvale.VxD", 1, 2, 3, 4), 1);
  ASSERT_EQ(link.openDriver("\\\\.\\Kromvale.VxD", 5, 6, 7, 8), 1);
  EXPECT_EQ(machine().OpenDriverHandles(), 1);
  EXPECT_EQ(link.protectedStackSelector, 5);
  EXPECT_EQ(link.realStackSize, 8);
  EXPECT_EQ(link.closeDriver(), 1);
  EXPECT_FALSE(link.isDriverOpen());
  EXPECT_EQ(link.closeDriver(), 1);  // nothing open
  EXPECT_EQ(link.openDriver("\\\\.\\Missing.VxD", 1, 2, 3, 4), 0);
  EXPECT_FALSE(link.isDriverOpen());
}

TEST_F(DriverLinkTest, AFailedCloseIsReportedAndTheHandleIsGoneAnyway) {
  DriverLink link;
  ASSERT_EQ(link.openDriver("\\\\.\\Kromvale.VxD", 1, 2, 3, 4), 1);
  faults().Fail("CloseHandle", ERROR_INVALID_HANDLE);
  EXPECT_EQ(link.closeDriver(), 0);
  EXPECT_FALSE(link.isDriverOpen());
}

class RealModeCallTest : public DriverLinkTest {
 protected:
  void SetUp() override {
    DriverLinkTest::SetUp();
    table.reset(new DriveTable);
    ASSERT_TRUE(table->driverLink.isDriverOpen());
  }
  void TearDown() override {
    table.reset();
    DriverLinkTest::TearDown();
  }
  RegisterPacket Packet(uint32_t interrupt, uint16_t ax, uint8_t bl) {
    RegisterPacket p;
    memset(&p, 0, sizeof p);
    p.interruptNumber = interrupt;
    p.mode = RegisterPacket::realMode;
    p.setAx(ax);
    p.setBl(bl);
    return p;
  }
  std::unique_ptr<DriveTable> table;
};

TEST_F(RealModeCallTest, TheLinkPutsTheStackOfTheModeIntoThePacket) {
  RegisterPacket real = Packet(0x21, 0x440E, 3);
  EXPECT_EQ(table->driverLink.callRealMode(&real), 1);
  EXPECT_EQ(real.stackSegment, table->dosStackBuffer.segment);
  EXPECT_EQ(real.stackPointer, 4096u);
  EXPECT_FALSE(real.carry());
  // Protected mode takes the selector; our simulated driver runs real mode
  // only, so it refuses, which the caller sees as carry.
  RegisterPacket protectedMode = Packet(0x21, 0x440E, 3);
  protectedMode.mode = RegisterPacket::protectedMode;
  EXPECT_EQ(table->driverLink.callRealMode(&protectedMode), 0);
  EXPECT_EQ(protectedMode.stackSegment, table->dosStackBuffer.selector);
  EXPECT_EQ(protectedMode.stackPointer, 4096u);
  EXPECT_TRUE(protectedMode.carry());
}

TEST_F(RealModeCallTest, AFailedInterruptLeavesItsErrorCodeAsTheLastError) {
  RegisterPacket packet = Packet(0x21, 0x440E, 20);  // T: no such drive
  platform::kernel().SetLastError(0);
  EXPECT_EQ(table->driverLink.callRealMode(&packet), 1);
  EXPECT_TRUE(packet.carry());
  EXPECT_EQ(packet.ax(), 0x000F);
  EXPECT_EQ(platform::kernel().GetLastError(), 15u);
}

TEST_F(RealModeCallTest, ARefusedRequestSetsTheCarry) {
  faults().Fail("DeviceIoControl", ERROR_GEN_FAILURE);
  RegisterPacket packet = Packet(0x21, 0x440E, 3);
  EXPECT_EQ(table->driverLink.callRealMode(&packet), 0);
  EXPECT_TRUE(packet.carry());
  EXPECT_EQ(platform::kernel().GetLastError(), 31u);
}

TEST_F(RealModeCallTest, TheDeviceRequestFillsNodeAndPath) {
  uint32_t node = 0;
  char key[DriverLink::keyPathSize];
  ASSERT_EQ(table->driverLink.queryDeviceKey(2, &node, key), 1);
  EXPECT_EQ(node, 0xC002u);
  EXPECT_STREQ(key, "Enum\\ESDI\\GENERIC_IDE__DISK_TYPE47_\\0000");
  EXPECT_EQ(table->driverLink.queryDeviceKey(13, &node, key), 0);  // N:
}

TEST_F(RealModeCallTest, SettingTheMediaIdChangesTheSerial) {
  // Set Media ID on C: with category 48h: info level, serial, label, type.
  uint8_t* block = static_cast<uint8_t*>(table->dosDataBuffer.flatPointer);
  memset(block, 0, 32);
  uint32_t serial = 0x0BADCAFE;
  memcpy(block + 2, &serial, 4);
  RegisterPacket packet = Packet(0x21, 0x440D, 3);
  packet.setCh(0x48);
  packet.setCl(0x46);
  packet.ds = table->dosDataBuffer.segment;
  ASSERT_EQ(table->driverLink.callRealMode(&packet), 1);
  EXPECT_FALSE(packet.carry());
  EXPECT_EQ(machine().drive('C')->serial, 0x0BADCAFEu);
  uint32_t read = 0;
  ASSERT_TRUE(platform::kernel().GetVolumeInformationA(
      "C:\\", nullptr, 0, &read, nullptr, nullptr, nullptr, 0));
  EXPECT_EQ(read, 0x0BADCAFEu);
  // Get Media ID reads it back.
  memset(block, 0, 32);
  packet = Packet(0x21, 0x440D, 3);
  packet.setCh(0x08);
  packet.setCl(0x66);
  packet.ds = table->dosDataBuffer.segment;
  ASSERT_EQ(table->driverLink.callRealMode(&packet), 1);
  EXPECT_FALSE(packet.carry());
  memcpy(&read, block + 2, 4);
  EXPECT_EQ(read, 0x0BADCAFEu);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(block) + 6, 11), "BASIC      ");
}

}  // namespace
