#include <gtest/gtest.h>

#include <string.h>

#include "platform/Codes.h"
#include "platform/RegistryKey.h"
#include "platform/ScopedFile.h"
#include "tests/support/MachineTest.h"

namespace {

class HoldersTest : public MachineTest {
 protected:
  void SetUp() override { Boot("basic"); }
  int Calls(const char* name) {
    int n = 0;
    for (const std::string& call : machine().CallLog()) {
      if (call.rfind(name, 0) == 0) ++n;
    }
    return n;
  }
};

TEST_F(HoldersTest, FailedOpenKeepsTheKeyHeld) {
  RegistryKey key;
  ASSERT_EQ(key.Create(HKEY_CURRENT_USER, "Software\\Ardentol\\Pelmora"),
            ERROR_SUCCESS);
  RegKey held = key.Handle();
  EXPECT_EQ(key.Open(HKEY_CURRENT_USER, "Software\\No\\Such\\Key"),
            ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(key.Handle(), held);
  // The key still works: a string value counts its terminator.
  ASSERT_EQ(key.SetStringValue("BarState", "abc"), ERROR_SUCCESS);
  uint32_t type = 0, size = 16;
  uint8_t data[16];
  ASSERT_EQ(key.QueryValue("BarState", &type, data, &size), ERROR_SUCCESS);
  EXPECT_EQ(type, REG_SZ);
  EXPECT_EQ(size, 4u);
  EXPECT_STREQ(reinterpret_cast<char*>(data), "abc");
  EXPECT_EQ(key.DeleteValue("BarState"), ERROR_SUCCESS);
  EXPECT_EQ(key.QueryValue("BarState", &type, data, &size),
            ERROR_FILE_NOT_FOUND);
}

TEST_F(HoldersTest, KeysAreClosedWhenReplacedAndAtScopeEnd) {
  machine().ClearCallLog();
  {
    RegistryKey key;
    ASSERT_EQ(key.Open(HKEY_LOCAL_MACHINE, "Software"), ERROR_SUCCESS);
    ASSERT_EQ(key.Create(HKEY_CURRENT_USER, "Software\\Ardentol"),
              ERROR_SUCCESS);
    EXPECT_EQ(Calls("RegCloseKey"), 1);
  }
  EXPECT_EQ(Calls("RegCloseKey"), 2);
}

TEST_F(HoldersTest, ScopedFileClosesItselfAndReportsAFailedClose) {
  const std::string path = "C:\\held.txt";
  {
    ScopedFile file;
    ASSERT_TRUE(file.Open(path.c_str(), "wt"));
    platform::files().Puts("line\n", file.Get());
    EXPECT_FALSE(file.Error());
  }
  EXPECT_EQ(machine().OpenStreams(), 0);
  EXPECT_EQ(machine().ReadFile(path), "line\r\n");

  ScopedFile file;
  EXPECT_FALSE(file.Open("C:\\no\\such\\folder\\x.txt", "wt"));
  EXPECT_FALSE(file.IsOpen());
  EXPECT_TRUE(file.Close());  // nothing held
  ASSERT_TRUE(file.Open(path.c_str(), "wt"));
  machine().Faults().Fail("Close", 28);
  EXPECT_FALSE(file.Close());
  EXPECT_FALSE(file.IsOpen());
}

}  // namespace
