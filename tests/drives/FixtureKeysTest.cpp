// The fixture keys of the simulated driver: read as written, refused with
// the reason when wrong.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "platform/sim/Machine.h"

namespace {

// A one-drive machine in a fresh folder with the given [Drive C] lines.
std::string Fixture(const std::string& lines) {
  char pattern[] = "/tmp/pelmora-fixture-XXXXXX";
  std::string folder = mkdtemp(pattern);
  std::ofstream(folder + "/machine.ini")
      << "[Machine]\nVersion=98\n[Drive C]\nType=fixed\n"
      << lines;
  return folder;
}

TEST(DriverFixtureKeysTest, KeysAreReadAsWritten) {
  std::string folder = Fixture(
      "BiosUnit=81\nDosDeviceType=9\nCategories=08\nProtectedModeOnly=1\n"
      "DeviceNode=ABCD\nDeviceKey=Enum\\X\\0000\nBootSector=EB 3C,90\n"
      "Refuse=440e key\n");
  auto machine = sim::Machine::Load(folder);
  const sim::DriveDevice& d = machine->drive('C')->device;
  EXPECT_EQ(d.biosUnit, 0x81);
  EXPECT_EQ(d.dosDeviceType, 9);
  EXPECT_EQ(d.categories, std::vector<uint8_t>{0x08});
  EXPECT_TRUE(d.protectedModeOnly);
  EXPECT_EQ(d.deviceNode, 0xABCDu);
  EXPECT_EQ(d.deviceKey, "Enum\\X\\0000");
  EXPECT_EQ(d.bootSector, std::string("\xEB\x3C\x90"));
  EXPECT_EQ(d.refuse, (std::set<std::string>{"440E", "KEY"}));
  machine.reset();
  std::filesystem::remove_all(folder);
}

TEST(DriverFixtureKeysTest, BadKeysStopTheLoadWithTheReason) {
  struct Case {
    const char* lines;
    const char* reason;
  } cases[] = {
      {"BiosUnit=1FF\n", "BiosUnit=1FF must be a hexadecimal number"},
      {"Categories=48 09\n", "may list only 48 and 08"},
      {"DeviceKey=Enum\\X\n", "DeviceKey needs a DeviceNode"},
      {"BootSector=EB3\n", "BootSector must be pairs of hex digits"},
      {"CompressedOn=12\n", "must be a drive letter"},
      {"SwappedWithHost=1\n", "SwappedWithHost needs CompressedOn"},
      {"Refuse=21\n", "Refuse=21 is not one of"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.lines);
    std::string folder = Fixture(c.lines);
    try {
      sim::Machine::Load(folder);
      ADD_FAILURE() << "the machine loaded";
    } catch (const std::runtime_error& error) {
      EXPECT_NE(std::string(error.what()).find(c.reason), std::string::npos)
          << error.what();
      EXPECT_NE(std::string(error.what()).find("[Drive C]"), std::string::npos);
    }
    std::filesystem::remove_all(folder);
  }
}

}  // namespace
