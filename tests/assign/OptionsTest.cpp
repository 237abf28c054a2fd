// The SaveBy option: read at start-up, shown in the Options dialog (the
// template of the program's resource script), stored on OK.
#include <gtest/gtest.h>

#include <string>

#include "assign/OptionsDialog.h"
#include "framework/headless/Dialogs.h"
#include "platform/Codes.h"
#include "tests/support/MachineTest.h"

namespace {

const char optionsKey[] = "HKEY_LOCAL_MACHINE\\Software\\Ardentol\\Pelmora";

class OptionsTest : public MachineTest {
 protected:
  void SetUp() override {
    headless::Resources resources;
    std::string error;
    ASSERT_TRUE(headless::ParseResourceScript(KROMVA32_RC, &resources, &error))
        << error;
    headless::SetResources(resources);
    headless::DialogUser::Get().Reset();
    Boot("basic");
  }
  void TearDown() override {
    EXPECT_TRUE(headless::DialogUser::Get().Done());
    MachineTest::TearDown();
  }

  // The stored value as a number; -2 when there is none.
  int64_t Stored() {
    sim::RegValue value;
    if (!machine().RegistryValue(optionsKey, "SaveBy", &value)) return -2;
    EXPECT_EQ(value.type, REG_DWORD);
    int32_t number = 0;
    EXPECT_EQ(value.data.size(), 4u);
    memcpy(&number, value.data.data(), 4);
    return number;
  }
  void Store(const std::string& bytes, uint32_t type = REG_DWORD) {
    RegKey key;
    ASSERT_EQ(platform::registry().RegCreateKeyExA(
                  HKEY_LOCAL_MACHINE, "Software\\Ardentol\\Pelmora", 0,
                  KEY_ALL_ACCESS, &key, nullptr),
              ERROR_SUCCESS);
    platform::registry().RegSetValueExA(
        key, "SaveBy", type, reinterpret_cast<const uint8_t*>(bytes.data()),
        static_cast<uint32_t>(bytes.size()));
    platform::registry().RegCloseKey(key);
  }
  unsigned CheckedAtStart(int id) {
    return headless::DialogUser::Get().Shown().back().checksAtStart.at(id);
  }

  OptionsDialog options;
};

TEST_F(OptionsTest, FirstRunShowsSerialSelectedAndWritesNothingUntilOk) {
  ReadOptions(options);
  EXPECT_EQ(options.saveBy, 0);
  // Reading made the key, not the value.
  EXPECT_TRUE(machine().RegistryKeyExists(optionsKey));
  EXPECT_EQ(Stored(), -2);
  headless::DialogUser::Get().Expect(optionsDialogId,
                                     {headless::Click(IDCANCEL)});
  RunOptionsCommand(options);
  EXPECT_EQ(CheckedAtStart(optionsSaveBySerial), kBstChecked);
  EXPECT_EQ(CheckedAtStart(optionsSaveByLabel), kBstUnchecked);
  EXPECT_EQ(Stored(), -2);

  headless::DialogUser::Get().Expect(
      optionsDialogId,
      {headless::Click(optionsSaveByLabel), headless::Click(IDOK)});
  RunOptionsCommand(options);
  EXPECT_EQ(options.saveBy, 1);
  EXPECT_EQ(Stored(), 1);
}

TEST_F(OptionsTest, CancelKeepsTheOldChoiceAndTheRegistry) {
  Store(std::string("\1\0\0\0", 4));
  ReadOptions(options);
  EXPECT_EQ(options.saveBy, 1);
  headless::DialogUser::Get().Expect(
      optionsDialogId,
      {headless::Click(optionsSaveBySerial), headless::PressEscape()});
  RunOptionsCommand(options);
  EXPECT_EQ(CheckedAtStart(optionsSaveByLabel), kBstChecked);
  EXPECT_EQ(options.saveBy, 1);
  EXPECT_EQ(Stored(), 1);
}

TEST_F(OptionsTest, KeyUnavailableLeavesTheOptionUnsetAndOkStoresMinusOne) {
  faults().Fail("RegCreateKeyExA", ERROR_ACCESS_DENIED);
  user().Expect("Pelmora", "Error reading options : Access is denied.\r\n",
                MB_ICONERROR | MB_OK, IDOK);
  ReadOptions(options);
  EXPECT_EQ(options.saveBy, -1);
  headless::DialogUser::Get().Expect(optionsDialogId, {headless::Click(IDOK)});
  RunOptionsCommand(options);
  EXPECT_EQ(CheckedAtStart(optionsSaveBySerial), kBstUnchecked);
  EXPECT_EQ(CheckedAtStart(optionsSaveByLabel), kBstUnchecked);
  EXPECT_EQ(Stored(), -1);
}

TEST_F(OptionsTest, StoringFailuresAreReportedAndTheChoiceStaysForTheRun) {
  ReadOptions(options);
  faults().Fail("RegSetValueExA", ERROR_ACCESS_DENIED);
  user().Expect("Pelmora", "Error saving options", MB_ICONERROR | MB_OK, IDOK);
  headless::DialogUser::Get().Expect(
      optionsDialogId,
      {headless::Click(optionsSaveByLabel), headless::Click(IDOK)});
  RunOptionsCommand(options);
  EXPECT_EQ(options.saveBy, 1);
  EXPECT_EQ(Stored(), -2);

  faults().Fail("RegCreateKeyExA", ERROR_ACCESS_DENIED);
  user().Expect("Pelmora", "Error saving options : Access is denied.\r\n",
                MB_ICONERROR | MB_OK, IDOK);
  EXPECT_FALSE(SaveOptions(options));
}

TEST_F(OptionsTest, ValuesThatAreNotFourBytesRead) {
  // Too long: read fails, by serial number.
  Store(std::string("\1\0\0\0\0", 5), REG_BINARY);
  options.saveBy = 7;
  ReadOptions(options);
  EXPECT_EQ(options.saveBy, 0);
  // Shorter: its bytes replace the low ones of the unset -1.
  Store(std::string("\1", 1), REG_BINARY);
  options.saveBy = -1;
  ReadOptions(options);
  EXPECT_EQ(options.saveBy, static_cast<int32_t>(0xFFFFFF01u));
}

}  // namespace
