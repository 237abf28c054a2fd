// Loading fixtures: drives and their generic facts, sizes, and clear
// errors for bad fixtures.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "platform/Codes.h"
#include "tests/support/MachineTest.h"

namespace fs = std::filesystem;

namespace {

// A fixture folder made on the spot, removed afterwards.
class TempFixture {
 public:
  TempFixture(const std::string& ini, const std::string& reg = "") {
    char pattern[] = "/tmp/pelmora-fixture-XXXXXX";
    path = mkdtemp(pattern);
    std::ofstream(path + "/machine.ini") << ini;
    if (!reg.empty()) std::ofstream(path + "/registry.reg") << reg;
  }
  ~TempFixture() { fs::remove_all(path); }
  std::string path;
};

std::string LoadError(const std::string& ini, const std::string& reg = "") {
  TempFixture fixture(ini, reg);
  try {
    sim::Machine::Load(fixture.path);
  } catch (const std::runtime_error& error) {
    return error.what();
  }
  return "(loaded)";
}

class MachineLoadTest : public MachineTest {};

TEST_F(MachineLoadTest, BasicMachineHasItsDrivesAndFacts) {
  Boot("basic");
  platform::Kernel& k = platform::kernel();
  EXPECT_EQ(k.GetLogicalDrives(),
            (1u << 0) | (1u << 2) | (1u << 3) | (1u << 13));
  EXPECT_EQ(k.GetDriveTypeA("A:\\"), uint32_t(DRIVE_REMOVABLE));
  EXPECT_EQ(k.GetDriveTypeA("C:\\"), uint32_t(DRIVE_FIXED));
  EXPECT_EQ(k.GetDriveTypeA("D:\\"), uint32_t(DRIVE_CDROM));
  EXPECT_EQ(k.GetDriveTypeA("N:\\"), uint32_t(DRIVE_REMOTE));
  EXPECT_EQ(k.GetDriveTypeA("Q:\\"), uint32_t(DRIVE_NO_ROOT_DIR));
  EXPECT_EQ(machine().drive('c')->Property("BiosUnit"), "80");
  EXPECT_EQ(machine().drive('C')->Property("NoSuchKey", "none"), "none");
  EXPECT_EQ(machine().drive('Q'), nullptr);
  // The copy is a private folder, not the fixture.
  EXPECT_NE(machine().Root().find("pelmora-machine-"), std::string::npos);
  EXPECT_TRUE(machine().Exists("C:\\windows\\system.ini"));
  EXPECT_FALSE(machine().Exists("C:\\WINDOWS\\TEMP\\.keep"));
}

TEST_F(MachineLoadTest, BothFreeSpaceCallsAnswerFromTheSameClusters) {
  Boot("basic");
  uint32_t sectors, bytes, free, total;
  ASSERT_TRUE(platform::kernel().GetDiskFreeSpaceA("A:\\", &sectors, &bytes,
                                                   &free, &total));
  EXPECT_EQ(sectors, 1u);
  EXPECT_EQ(bytes, 512u);
  EXPECT_EQ(free, 2800u);
  EXPECT_EQ(total, 2847u);
  uint64_t caller, totalBytes, freeBytes;
  ASSERT_TRUE(platform::kernel().GetDiskFreeSpaceExA("A:\\", &caller,
                                                     &totalBytes, &freeBytes));
  EXPECT_EQ(totalBytes, 2847u * 512u);
  EXPECT_EQ(freeBytes, 2800u * 512u);
  // C: holds 2 GB, one byte more than Windows 98's old call reports.
  ASSERT_TRUE(platform::kernel().GetDiskFreeSpaceA("C:\\", &sectors, &bytes,
                                                   &free, &total));
  EXPECT_LE(uint64_t(sectors) * bytes * total, 0x7FFFFFFFu);
  EXPECT_LT(total, 0x10000u);
  ASSERT_TRUE(platform::kernel().GetDiskFreeSpaceExA("C:\\WINDOWS", &caller,
                                                     &totalBytes, &freeBytes));
  EXPECT_EQ(totalBytes, 2048ull * 1024 * 1024);
  EXPECT_EQ(freeBytes, 1024ull * 1024 * 1024);
}

TEST_F(MachineLoadTest, VersionShorthandsAndTheMissingFreeSpaceCall) {
  TempFixture fixture(
      "[Machine]\nVersion=95\n[Drive "
      "C]\nType=fixed\nTotalKb=1024\nFreeKb=10\n");
  Boot(fixture.path.c_str());
  platform::VersionInfo info;
  ASSERT_TRUE(platform::kernel().GetVersionExA(&info));
  EXPECT_EQ(info.majorVersion, 4u);
  EXPECT_EQ(info.minorVersion, 0u);
  EXPECT_EQ(info.buildNumber, 0x040003B6u);
  EXPECT_EQ(info.platformId, uint32_t(VER_PLATFORM_WIN32_WINDOWS));
  uint64_t free;
  EXPECT_FALSE(
      platform::kernel().GetDiskFreeSpaceExA("C:\\", &free, nullptr, nullptr));
  EXPECT_EQ(platform::kernel().GetLastError(), uint32_t(ERROR_PROC_NOT_FOUND));
}

TEST(MachineLoad, BadFixturesGiveAReasonWithTheirPlace) {
  struct Case {
    const char* ini;
    const char* reg;
    const char* reason;
  } cases[] = {
      {"[Drive C]\nTotalKb=1\n", "", "[Drive C]: the drive has no Type="},
      {"[Drive C]\nType=tape\n", "", "Type=tape is not one of"},
      {"[Drive C]\nType=fixed\nSerial=XYZ\n", "", "Serial=XYZ must be 8 hex"},
      {"[Drive C]\nType=fixed\nTotalKb=1\nFreeClusters=2\n", "", "not both"},
      {"[Drive C]\nType=fixed\nTotalKb=1\nFreeKb=2\n", "",
       "free space is larger"},
      {"[Machine]\nVersion=NT\n", "", "Version=NT must be"},
      {"[Machine]\nno equals sign\n", "",
       "machine.ini line 2: expected key=value"},
      {"[Drive C]\nType=fixed\n", "REGEDIT5\n",
       "registry.reg line 1: the first line must be REGEDIT4"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.ini);
    EXPECT_NE(LoadError(c.ini, c.reg).find(c.reason), std::string::npos)
        << LoadError(c.ini, c.reg);
  }
  try {
    sim::Machine::Load("no-such-machine");
    ADD_FAILURE() << "a missing fixture loaded";
  } catch (const std::runtime_error& error) {
    EXPECT_NE(std::string(error.what()).find("no machine fixture at"),
              std::string::npos);
  }
}

TEST(MachineLoad, BundledDemoMachineLoads) {
  auto machine = sim::Machine::Load("demo");
  EXPECT_EQ(machine->DriveLetters(),
            (std::vector<char>{'A', 'C', 'D', 'E', 'F', 'G'}));
  EXPECT_EQ(machine->drive('F')->type, uint32_t(DRIVE_RAMDISK));
  EXPECT_TRUE(
      machine->RegistryKeyExists("HKEY_CURRENT_USER\\Network\\Persistent\\G"));
  EXPECT_EQ(machine->ReadFile("C:\\Pelmora\\drivemap.dat").substr(0, 5),
            "Drive");
}

TEST(MachineLoad, CopyIsRemovedUnlessKept) {
  std::string root;
  {
    auto machine = sim::Machine::Load("basic");
    root = machine->Root();
    EXPECT_TRUE(fs::exists(root + "/machine.ini"));
  }
  EXPECT_FALSE(fs::exists(root));
  {
    auto machine = sim::Machine::Load("basic");
    root = machine->Root();
    machine->KeepFiles();
  }
  EXPECT_TRUE(fs::exists(root + "/registry.reg"));
  fs::remove_all(root);
}

}  // namespace
