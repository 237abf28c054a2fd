// The simulator's pieces that Quobrill brought: temporary file names and
// the NUL device.
#include "platform/Codes.h"
#include "tests/support/MachineTest.h"

namespace {

class SimSetupPartsTest : public MachineTest {
 protected:
  void SetUp() override { Boot("basic"); }
};

TEST_F(SimSetupPartsTest, TempFileNamesAreNewAndCreatedEmpty) {
  platform::Kernel& kernel = platform::kernel();
  char name[260];
  EXPECT_EQ(kernel.GetTempFileNameA("C:\\WINDOWS\\TEMP\\", "kromvale", 0, name),
            1u);
  EXPECT_STREQ(name, "C:\\WINDOWS\\TEMP\\kro1.tmp");
  EXPECT_EQ(machine().ReadFile(name), "");
  // A name taken by another file is skipped.
  machine().WriteFile("C:\\WINDOWS\\TEMP\\kro2.tmp", "busy");
  EXPECT_EQ(kernel.GetTempFileNameA("C:\\WINDOWS\\TEMP", "kromvale", 0, name),
            3u);
  EXPECT_STREQ(name, "C:\\WINDOWS\\TEMP\\kro3.tmp");
  EXPECT_EQ(machine().ReadFile("C:\\WINDOWS\\TEMP\\kro2.tmp"), "busy");
  // A given number only forms the name, in hex.
  EXPECT_EQ(kernel.GetTempFileNameA("C:\\WINDOWS", "ab", 0xBEEF, name),
            0xBEEFu);
  EXPECT_STREQ(name, "C:\\WINDOWS\\abBEEF.tmp");
  EXPECT_FALSE(machine().Exists(name));
  EXPECT_EQ(kernel.GetTempFileNameA("C:\\NOWHERE", "kro", 0, name), 0u);
  EXPECT_EQ(kernel.GetLastError(), 267u);
}

TEST_F(SimSetupPartsTest, CopyToNulTestsThatTheSourceCanBeRead) {
  platform::Kernel& kernel = platform::kernel();
  EXPECT_TRUE(kernel.CopyFileA("C:\\AUTOEXEC.BAT", "NUL", false));
  EXPECT_TRUE(kernel.CopyFileA("C:\\AUTOEXEC.BAT", "nul", true));
  EXPECT_FALSE(machine().Exists("C:\\Pelmora\\NUL"));
  EXPECT_FALSE(kernel.CopyFileA("C:\\MISSING.BIN", "NUL", false));
  EXPECT_EQ(kernel.GetLastError(), uint32_t(ERROR_FILE_NOT_FOUND));
  EXPECT_FALSE(kernel.CopyFileA("C:\\WINDOWS", "NUL", false));
  EXPECT_EQ(kernel.GetLastError(), uint32_t(ERROR_ACCESS_DENIED));
}

}  // namespace
