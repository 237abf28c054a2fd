// Device Properties on a simulated machine (machines/deviceprops): the
// template, the command's state, the values read from the device key, the
// question for a missing setting, the writes at OK and their failure, and
// the letter count taken into the device's group and saved with it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "assign/DeviceProperties.h"
#include "framework/CmdTarget.h"
#include "framework/WinApp.h"
#include "framework/headless/Dialogs.h"
#include "tests/assign/SaveViewTest.h"
#include "tests/support/ProgramDialogs.h"

namespace {

using headless::Type;
using headless::UserAct;

// A click on a control of the dialog (the fixture's Click is on a row).
UserAct Press(int id) { return headless::Click(id); }

const char kChanger[] =
    "HKEY_LOCAL_MACHINE\\Enum\\SCSI\\NEC_CD-ROM_CHANGER\\0000";
const char kScsiDisk[] =
    "HKEY_LOCAL_MACHINE\\Enum\\SCSI\\QUANTUM_FIREBALL_ST3.2S\\0000";
const char kIdeDisk[] =
    "HKEY_LOCAL_MACHINE\\Enum\\ESDI\\GENERIC_IDE__DISK_TYPE47_\\0000";
const char* const kSettings[] = {"Removable",        "Int13",
                                 "DMACurrentlyUsed", "Disconnect",
                                 "SyncDataXfer",     "AutoInsertNotification"};
const int kChecks[] = {deviceRemovableId,
                       deviceInt13Id,
                       deviceDmaId,
                       deviceDisconnectId,
                       deviceSyncDataTransferId,
                       deviceAutoInsertId};

std::string Question(const std::string& name) {
  return "The option \"" + name +
         "\" is not present in the Registry for this device. Do you want to "
         "create the correspondent value in the Registry ?";
}

class DevicePropertiesTest : public SaveViewTest {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(LoadProgramDialogs(KROMVA32_RC));
    Boot("deviceprops");
    ASSERT_TRUE(Create());
  }

  void TearDown() override {
    EXPECT_TRUE(dialogs().Done());
    // Every icon the command took from the shell went back.
    EXPECT_EQ(machine().OutstandingIcons(), 0);
    SaveViewTest::TearDown();
  }

  headless::DialogUser& dialogs() { return headless::DialogUser::Get(); }

  // Device Properties on the drive's row, with the user's acts in the
  // dialog: the dialog as it was shown.
  headless::ShownDialog Show(char letter, std::vector<UserAct> acts) {
    Click(letter);
    dialogs().Expect(devicePropertiesDialogId, std::move(acts));
    const size_t before = dialogs().Shown().size();
    Command(ID_DEVICE_PROPERTIES);
    if (dialogs().Shown().size() != before + 1) {
      ADD_FAILURE() << "no dialog for " << letter;
      return {};
    }
    return dialogs().Shown().back();
  }

  bool Enabled(char letter) {
    Click(letter);
    CCmdUI ui(ID_DEVICE_PROPERTIES);
    EXPECT_TRUE(
        view->OnCmdMsg(ID_DEVICE_PROPERTIES, CN_UPDATE_COMMAND_UI, &ui));
    return ui.enabled;
  }

  // A value as "type:hex bytes", "(none)" when missing.
  std::string Value(const char* key, const char* name) {
    sim::RegValue value;
    if (!machine().RegistryValue(key, name, &value)) return "(none)";
    std::string text = std::to_string(value.type) + ":";
    char hex[4];
    for (unsigned char c : value.data) {
      snprintf(hex, sizeof hex, "%02X", c);
      text += hex;
    }
    return text;
  }

  std::vector<std::string> Values(const char* key) {
    std::vector<std::string> values;
    for (const char* name : kSettings) values.push_back(Value(key, name));
    return values;
  }

  // The names of the values written to the key, in order.
  std::vector<std::string> Writes(const char* key) {
    const std::string prefix = std::string("RegSetValueExA ") + key + " ";
    std::vector<std::string> names;
    for (const std::string& call : machine().CallLog())
      if (call.rfind(prefix, 0) == 0)
        names.push_back(call.substr(prefix.size()));
    return names;
  }

  uint32_t LetterCount(char letter) {
    const DriveRecord& record = view->table.recordOf(letter);
    return record.letterGroup ? record.letterGroup->letterCount : 0;
  }

  // The validation messages use the application's name.
  CWinApp app{"Pelmora"};
};

TEST_F(DevicePropertiesTest, TemplateHasTheControlsTextsAndPositions) {
  const headless::DialogTemplate& dialog =
      headless::GetResources().dialogs.at(devicePropertiesDialogId);
  EXPECT_EQ(dialog.caption, "Device Properties");
  const uint32_t frame =
      0x80u /* DS_MODALFRAME */ | 0x80000000u /* WS_POPUP */ |
      0x00C00000u /* WS_CAPTION */ | 0x00080000u /* WS_SYSMENU */;
  EXPECT_EQ(dialog.style & frame, frame);
  EXPECT_EQ(dialog.fontName, "MS Sans Serif");
  EXPECT_EQ(dialog.fontSize, 8);
  EXPECT_EQ(dialog.width, 299);
  EXPECT_EQ(dialog.height, 232);
  struct Expected {
    int id;
    const char* className;
    uint32_t kind;  // the low style bits
    const char* text;
    int x, y, width, height;
  };
  const Expected expected[] = {
      {1015, "Static", 0x3, "", 27, 9, 20, 20},
      {-1, "Static", 0x0, "Device name :", 63, 9, 48, 10},
      {1021, "Static", 0x0, "", 114, 9, 168, 9},
      {-1, "Static", 0x0, "Device type :", 63, 26, 48, 9},
      {1022, "Static", 0x0, "", 113, 26, 168, 9},
      {-1, "Static", 0x0, "Firmware revision :", 63, 42, 61, 10},
      {1018, "Static", 0x0, "", 125, 42, 72, 10},
      {-1, "Button", 0x7, "Letters", 5, 59, 140, 83},
      {-1, "Static", 0x0, "Current letters :", 14, 79, 51, 11},
      {1013, "Edit", 0x0, "", 68, 77, 66, 15},
      {-1, "Static", 0x0, "Maximum number of letters :", 14, 109, 87, 11},
      {1040, "Edit", 0x0, "", 103, 108, 32, 12},
      {1039, "msctls_updown32", 0x6, "", 135, 107, 12, 13},
      {-1, "Button", 0x7, "General settings", 154, 59, 138, 83},
      {1010, "Button", 0x3, "Removable", 162, 74, 102, 9},
      {1011, "Button", 0x3, "Int 13 unit", 162, 88, 102, 12},
      {1012, "Button", 0x3, "DMA", 162, 105, 102, 12},
      {1009, "Button", 0x3, "Auto insert notification ( CD-ROM )", 162, 122,
       121, 12},
      {-1, "Button", 0x7, "SCSI settings", 5, 152, 140, 47},
      {1007, "Button", 0x3, "Disconnect", 14, 164, 102, 12},
      {1008, "Button", 0x3, "Synchronous data transfer", 14, 179, 102, 15},
      {-1, "Button", 0x7, "SCSI identification", 154, 152, 138, 47},
      {-1, "Static", 0x0, "Target ID :", 163, 166, 66, 12},
      {1016, "Static", 0x0, "", 231, 166, 47, 12},
      {-1, "Static", 0x0, "Logical unit number :", 163, 180, 66, 10},
      {1017, "Static", 0x0, "", 231, 180, 47, 9},
      {1, "Button", 0x1, "OK", 75, 208, 50, 14},
      {2, "Button", 0x0, "Cancel", 140, 208, 50, 14},
  };
  ASSERT_EQ(dialog.controls.size(), std::size(expected));
  for (size_t i = 0; i < std::size(expected); ++i) {
    const headless::DialogControl& control = dialog.controls[i];
    SCOPED_TRACE(expected[i].text);
    EXPECT_EQ(control.id, expected[i].id);
    EXPECT_EQ(control.className, expected[i].className);
    EXPECT_EQ(control.style & 0x0F, expected[i].kind);
    EXPECT_EQ(control.text, expected[i].text);
    EXPECT_EQ(control.x, expected[i].x);
    EXPECT_EQ(control.y, expected[i].y);
    EXPECT_EQ(control.width, expected[i].width);
    EXPECT_EQ(control.height, expected[i].height);
  }
  // The current letters are read-only and scroll; the up-down control
  // takes the edit before it, sits on its right, sets its number, follows
  // the arrow keys and tracks the mouse.
  EXPECT_EQ(dialog.Control(1013)->style & 0x0880u, 0x0880u);
  EXPECT_EQ(dialog.Control(1039)->style & 0x1FFu,
            kUdsSetBuddyInt | kUdsAlignRight | kUdsAutoBuddy | kUdsArrowKeys |
                kUdsHotTrack);
}

TEST_F(DevicePropertiesTest, TheCommandNeedsADeviceNode) {
  EXPECT_TRUE(Enabled('D'));
  EXPECT_TRUE(Enabled('C'));
  // The RAM disk and the floppy have none: the command, the double click
  // and the shortcut menu do nothing for them.
  EXPECT_FALSE(Enabled('F'));
  EXPECT_FALSE(Enabled('A'));
  Click('F');
  Command(ID_DEVICE_PROPERTIES);
  headless::DoubleClickRow(view.get(), RowOf('F'));
  EXPECT_TRUE(dialogs().Shown().empty());
  // Without a selected row, nothing either.
  view->SelectGroup(-1, LVIS_SELECTED);
  CCmdUI ui(ID_DEVICE_PROPERTIES);
  EXPECT_TRUE(view->OnCmdMsg(ID_DEVICE_PROPERTIES, CN_UPDATE_COMMAND_UI, &ui));
  EXPECT_FALSE(ui.enabled);
}

TEST_F(DevicePropertiesTest, AKeyWithoutSettingsCreatesOnlyTheOneAgreedTo) {
  user().Expect("Pelmora", Question("Removable"), MB_ICONQUESTION | MB_YESNO,
                IDNO);
  user().Expect("Pelmora", Question("Int 13 unit"), MB_ICONQUESTION | MB_YESNO,
                IDYES);
  const headless::ShownDialog shown =
      Show('D', {Press(deviceRemovableId), Press(deviceInt13Id), Press(1)});
  EXPECT_EQ(shown.textsAtStart.at(deviceNameId), "NEC CD-ROM CHANGER");
  EXPECT_EQ(shown.textsAtStart.at(deviceTypeId), "CDROM");
  EXPECT_EQ(shown.textsAtStart.at(deviceFirmwareRevisionId), "1.0A");
  EXPECT_EQ(shown.textsAtStart.at(deviceTargetId), "4");
  EXPECT_EQ(shown.textsAtStart.at(deviceLogicalUnitId), "0");
  EXPECT_EQ(shown.textsAtStart.at(deviceCurrentLettersId), "D,E");
  // The key reserves D-E: the count is 2, the up-down goes from 1 to 26.
  EXPECT_EQ(shown.textsAtStart.at(deviceMaxLettersId), "2");
  EXPECT_TRUE(shown.enabledAtStart.at(deviceMaxLettersId));
  EXPECT_TRUE(shown.enabledAtStart.at(deviceMaxLettersSpinId));
  EXPECT_EQ(shown.spinsAtStart.at(deviceMaxLettersSpinId),
            (headless::SpinState{1, 26, 2}));
  EXPECT_NE(shown.icons.at(deviceIconId), 0u);
  for (int id : kChecks) EXPECT_EQ(shown.checksAtStart.at(id), 0u) << id;
  EXPECT_EQ(shown.result, IDOK);
  // No unchecked the box again; Yes kept it checked and created the value.
  EXPECT_EQ(Values(kChanger),
            (std::vector<std::string>{"(none)", "3:01", "(none)", "(none)",
                                      "(none)", "(none)"}));
  EXPECT_EQ(Writes(kChanger), (std::vector<std::string>{"Int13"}));
  EXPECT_EQ(LetterCount('D'), 2u);
}

TEST_F(DevicePropertiesTest, EitherDriveOfTheDeviceShowsBothLetters) {
  for (char letter : {'D', 'E'}) {
    const headless::ShownDialog shown = Show(letter, {Press(2)});
    EXPECT_EQ(shown.textsAtStart.at(deviceCurrentLettersId), "D,E") << letter;
  }
}

TEST_F(DevicePropertiesTest, TheDoubleClickAndTheShortcutMenuOpenTheDialog) {
  dialogs().Expect(devicePropertiesDialogId, {Press(2)});
  headless::DoubleClickRow(view.get(), RowOf('E'));
  // The menu's first entry, "Device Properties".
  Click('G');
  dialogs().Expect(devicePropertiesDialogId, {Press(2)});
  headless::Windows::Get().ExpectMenuChoice(1);
  headless::RightClickRow(view.get(), RowOf('G'));
  EXPECT_TRUE(headless::Windows::Get().MenusDone());
  ASSERT_EQ(dialogs().Shown().size(), 2u);
  EXPECT_EQ(dialogs().Shown()[0].textsAtStart.at(deviceCurrentLettersId),
            "D,E");
  EXPECT_EQ(dialogs().Shown()[1].textsAtStart.at(deviceCurrentLettersId), "G");
}

TEST_F(DevicePropertiesTest, LongerValuesReadAsAbsentAndYesRewritesOneByte) {
  // SyncDataXfer holds two bytes, AutoInsertNotification a DWORD.
  user().Expect("Pelmora", Question("Synchronous data transfer"),
                MB_ICONQUESTION | MB_YESNO, IDYES);
  user().Expect("Pelmora", Question("Auto insert notification"),
                MB_ICONQUESTION | MB_YESNO, IDNO);
  const headless::ShownDialog shown =
      Show('G', {Press(deviceSyncDataTransferId), Press(deviceAutoInsertId),
                 Press(deviceRemovableId), Press(1)});
  EXPECT_EQ(shown.textsAtStart.at(deviceNameId), "QUANTUM FIREBALL ST3.2S");
  EXPECT_EQ(shown.textsAtStart.at(deviceCurrentLettersId), "G");
  const std::vector<unsigned> checks = {0, 1, 0, 1, 0, 0};
  for (size_t i = 0; i < checks.size(); ++i)
    EXPECT_EQ(shown.checksAtStart.at(kChecks[i]), checks[i]) << kSettings[i];
  // Removable went on without a question; SyncDataXfer is one byte now.
  EXPECT_EQ(Values(kScsiDisk),
            (std::vector<std::string>{"3:01", "3:01", "3:00", "3:01", "3:01",
                                      "4:01000000"}));
  EXPECT_EQ(Writes(kScsiDisk),
            (std::vector<std::string>{"Removable", "Int13", "DMACurrentlyUsed",
                                      "Disconnect", "SyncDataXfer"}));
}

TEST_F(DevicePropertiesTest, CancelWritesNothingAndKeepsTheCount) {
  const std::string before = machine().ExportRegistry();
  user().Expect("Pelmora", Question("DMA"), MB_ICONQUESTION | MB_YESNO, IDYES);
  const headless::ShownDialog shown =
      Show('E', {Press(deviceDmaId), Type(deviceMaxLettersId, "5"), Press(2)});
  EXPECT_EQ(shown.result, IDCANCEL);
  EXPECT_EQ(machine().ExportRegistry(), before);
  EXPECT_TRUE(Writes(kChanger).empty());
  EXPECT_EQ(LetterCount('D'), 2u);
  // Esc and the close box cancel the same way.
  Show('D', {Type(deviceMaxLettersId, "5"), headless::PressEscape()});
  Show('D', {Type(deviceMaxLettersId, "5"), headless::CloseBox()});
  EXPECT_EQ(LetterCount('D'), 2u);
}

TEST_F(DevicePropertiesTest, ADriveOutsideAGroupHasNoCountToValidateOrStore) {
  // C: is a disk MS-DOS serves: not a member of a device group.
  const uint32_t count = LetterCount('C');
  const headless::ShownDialog shown = Show('C', {Press(1)});
  EXPECT_EQ(shown.result, IDOK);
  EXPECT_EQ(shown.textsAtStart.at(deviceNameId), "GENERIC IDE  DISK TYPE47");
  EXPECT_EQ(shown.textsAtStart.at(deviceFirmwareRevisionId), "");
  EXPECT_EQ(shown.textsAtStart.at(deviceMaxLettersId), "");
  EXPECT_FALSE(shown.enabledAtStart.at(deviceMaxLettersId));
  EXPECT_FALSE(shown.enabledAtStart.at(deviceMaxLettersSpinId));
  EXPECT_EQ(shown.checksAtStart.at(deviceInt13Id), 1u);
  EXPECT_EQ(shown.checksAtStart.at(deviceDmaId), 1u);
  EXPECT_TRUE(shown.focusMoves.empty());
  EXPECT_EQ(LetterCount('C'), count);
  EXPECT_TRUE(user().Boxes().empty());
  EXPECT_EQ(Writes(kIdeDisk), (std::vector<std::string>{"Removable", "Int13",
                                                        "DMACurrentlyUsed"}));
}

TEST_F(DevicePropertiesTest, CountsOutsideOneToTwentySixAreRefused) {
  const std::string range = "Please enter a whole number from 1 to 26.";
  const std::string number = "Please enter a whole number.";
  // The refused 0 does not turn the check off for what follows.
  for (const std::string& text : {range, range, number, number})
    user().Expect("Pelmora", text, MB_ICONEXCLAMATION | MB_OK, IDOK);
  const headless::ShownDialog shown =
      Show('D', {Type(deviceMaxLettersId, "0"), Press(1),
                 Type(deviceMaxLettersId, "27"), Press(1),
                 Type(deviceMaxLettersId, "2x"), Press(1),
                 Type(deviceMaxLettersId, ""), Press(1),
                 Type(deviceMaxLettersId, " 4 "), Press(1)});
  EXPECT_EQ(shown.result, IDOK);
  // Each refusal put the focus back on the count.
  EXPECT_EQ(shown.focusMoves, (std::vector<int>(4, deviceMaxLettersId)));
  EXPECT_EQ(LetterCount('D'), 4u);
  EXPECT_EQ(LetterCount('E'), 4u);
  // Not an unsaved change: closing asks nothing and the count is lost.
  EXPECT_FALSE(view->modified);
}

TEST_F(DevicePropertiesTest, AFailedWriteStopsTheRestButTheCountIsTaken) {
  faults().Fail("RegSetValueExA", ERROR_ACCESS_DENIED, 3, "QUANTUM");
  ExpectError(
      "Error working with the Registry key "
      "HKEY_LOCAL_MACHINE\\Enum\\SCSI\\QUANTUM_FIREBALL_ST3.2S\\0000");
  // Each present setting turned over.
  const headless::ShownDialog shown =
      Show('G', {Press(deviceRemovableId), Press(deviceInt13Id),
                 Press(deviceDmaId), Press(deviceDisconnectId),
                 Type(deviceMaxLettersId, "3"), Press(1)});
  EXPECT_EQ(shown.textsAtStart.at(deviceMaxLettersId), "1");
  EXPECT_EQ(Writes(kScsiDisk), (std::vector<std::string>{"Removable", "Int13",
                                                         "DMACurrentlyUsed"}));
  EXPECT_EQ(Values(kScsiDisk),
            (std::vector<std::string>{"3:01", "3:00", "3:00", "3:01", "3:0100",
                                      "4:01000000"}));
  EXPECT_EQ(LetterCount('G'), 3u);
}

TEST_F(DevicePropertiesTest, AKeyThatCannotBeReadShowsNoDialog) {
  faults().Fail("RegOpenKeyExA", ERROR_ACCESS_DENIED, 1, "NEC_CD-ROM");
  ExpectError(
      "Error working with the Registry key "
      "HKEY_LOCAL_MACHINE\\Enum\\SCSI\\NEC_CD-ROM_CHANGER\\0000 : Access is "
      "denied.\r\n");
  Click('D');
  Command(ID_DEVICE_PROPERTIES);
  faults().Fail("RegQueryInfoKeyA", ERROR_ACCESS_DENIED, 1, "NEC_CD-ROM");
  ExpectError(
      "Error working with the Registry key "
      "HKEY_LOCAL_MACHINE\\Enum\\SCSI\\NEC_CD-ROM_CHANGER\\0000 : Access is "
      "denied.\r\n");
  Command(ID_DEVICE_PROPERTIES);
  EXPECT_TRUE(dialogs().Shown().empty());
  EXPECT_EQ(LetterCount('D'), 2u);
  // Without the drive's icon the command does nothing at all.
  faults().Fail("SHGetFileInfoA", 0, 1, "D:\\");
  Command(ID_DEVICE_PROPERTIES);
  EXPECT_TRUE(dialogs().Shown().empty());
}

TEST_F(DevicePropertiesTest, TheNextSaveWritesTheNewCount) {
  Show('D', {Type(deviceMaxLettersId, "4"), Press(1)});
  EXPECT_TRUE(view->SaveAssignment());
  sim::RegValue value;
  ASSERT_TRUE(
      machine().RegistryValue(kChanger, "UserDriveLetterAssignment", &value));
  EXPECT_EQ(value.data, std::string("DG\0", 3));
}

}  // namespace
