// Closing the program: the close query in each state of the two flags,
// Disable and Exit with and without the warning about the Windows drive,
// and the check that ends the program when DriveSpace changed its settings
// after the last boot, at start-up and after a Refresh.
#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

#include "platform/sim/MachineImpl.h"
#include "tests/assign/SaveViewTest.h"

namespace {

using headless::Windows;

const char kLetters[] = "C:\\Pelmora\\Letters.ini";
const char kSaveQuestion[] =
    "Do you want to save the letter assignment changes before exit ?";
const char kRebootQuestion[] =
    "The computer must be restarted before the changes will take "
    "effect.\nDo you want to reboot now ?";
const char kDriveSpaceQuestion[] =
    "You launched DriveSpace after the last reboot. The computer must be "
    "restarted in order to use Pelmora.\nDo you want to reboot now ?";
const uint32_t kYesNoCancel = MB_ICONQUESTION | MB_YESNOCANCEL;
const uint32_t kYesNo = MB_ICONQUESTION | MB_YESNO;

class ExitCommandsTest : public SaveViewTest {
 protected:
  std::vector<uint32_t> Reboots() { return machine().ExitRequests(); }
  bool CloseWasPosted() {
    Windows::Get().PumpMessages();
    return headless::Defaulted(&frame, WM_CLOSE, 0);
  }
};

TEST_F(ExitCommandsTest, CloseQueryInEachState) {
  Boot("roundtrip-disks");
  ASSERT_TRUE(Create());
  const struct {
    bool modified;
    bool restartPending;
    bool saveFails;
    int saveAnswer;    // 0: no save question
    int rebootAnswer;  // 0: no reboot question
    bool closes;
    bool rebooted;
  } cases[] = {
      {false, false, false, 0, 0, true, false},
      {false, true, false, 0, IDNO, true, false},
      {false, true, false, 0, IDYES, true, true},
      {true, true, false, IDCANCEL, 0, false, false},
      {true, false, false, IDNO, 0, true, false},
      {true, true, false, IDNO, IDNO, true, false},
      // Saved on the way out: the reboot question follows.
      {true, false, false, IDYES, IDYES, true, true},
      // A failed save keeps the program open with its changes.
      {true, false, true, IDYES, 0, false, false},
  };
  for (const auto& c : cases) {
    machine().Impl().exitRequests.clear();
    view->modified = c.modified;
    view->restartPending = c.restartPending;
    view->serialCheckPasses = !c.saveFails;
    if (c.saveAnswer)
      user().Expect("Closing", kSaveQuestion, kYesNoCancel, c.saveAnswer);
    if (c.saveFails) ExpectError("Save operation failed.");
    if (c.rebootAnswer)
      user().Expect("Pelmora", kRebootQuestion, kYesNo, c.rebootAnswer);
    const std::string which = std::to_string(&c - cases);
    EXPECT_EQ(view->QueryClose(), c.closes) << which;
    EXPECT_TRUE(user().Done()) << which;
    EXPECT_EQ(Reboots(), c.rebooted ? std::vector<uint32_t>{EWX_REBOOT}
                                    : std::vector<uint32_t>{})
        << which;
    if (c.saveFails) {
      EXPECT_TRUE(view->modified) << which;
    }
  }
}

TEST_F(ExitCommandsTest, UnshownSaveQuestionKeepsTheProgramOpen) {
  Boot("roundtrip-disks");
  ASSERT_TRUE(Create());
  view->modified = true;
  faults().Fail("MessageBoxA", ERROR_NOT_ENOUGH_MEMORY, 1, "save");
  EXPECT_FALSE(view->QueryClose());
  EXPECT_TRUE(view->modified);
  EXPECT_FALSE(machine().Exists(kLetters));
}

TEST_F(ExitCommandsTest, DisableAndExitEmptiesLettersIniAndCloses) {
  Boot("roundtrip-disks");
  // Windows is on C:, which MS-DOS booted as C: too; the program read its
  // directory in lower case, which names the same drive.
  machine().Impl().windowsDir = "c:\\windows";
  ASSERT_TRUE(Create());
  machine().WriteFile(kLetters, "C=(1A2B-3C4D)\r\n/WD=(1A2B-3C4D)\r\n");
  view->modified = true;
  Command(ID_FILE_DISABLE_AND_EXIT);
  EXPECT_TRUE(user().Boxes().empty());
  EXPECT_EQ(machine().ReadFile(kLetters), "");
  EXPECT_FALSE(view->modified);
  EXPECT_TRUE(view->restartPending);
  EXPECT_TRUE(CloseWasPosted());
  // The close that follows only offers the reboot.
  user().Expect("Pelmora", kRebootQuestion, kYesNo, IDNO);
  EXPECT_TRUE(view->QueryClose());
}

TEST_F(ExitCommandsTest, DisableAndExitWithoutAMapAsksNothing) {
  Boot("roundtrip-disks");
  machine().WriteFile("C:\\Pelmora\\drivemap.dat", "map\nA B C\n");
  ExpectError("File drivemap.dat has bad format.");
  ASSERT_TRUE(Create());
  machine().WriteFile(kLetters, "A=A:\r\n");
  Command(ID_FILE_DISABLE_AND_EXIT);
  EXPECT_EQ(machine().ReadFile(kLetters), "");
  EXPECT_TRUE(view->restartPending);
}

TEST_F(ExitCommandsTest, DisableAndExitWarnsWhenWindowsWouldMove) {
  Boot("roundtrip-disks");
  // MS-DOS booted C: as D: and the companion moved it.
  machine().WriteFile("C:\\Pelmora\\drivemap.dat",
                      "map\r\nA B D C E F G H I J K L M N O P Q R S T U V W X "
                      "Y Z\r\n");
  ASSERT_TRUE(Create());
  machine().WriteFile(kLetters, "C=(1A2B-3C4D)\r\n");
  const std::string warning =
      "If you temporarily disable Pelmora, Windows\xAE will not start, "
      "because the drive with the Windows\xAE directory will appear as D: "
      "instead of C:\n\nAre you absolutely sure that you want to disable "
      "Pelmora ?";
  for (int answer : {IDNO, IDYES}) {
    view->modified = true;
    user().Expect("Warning", warning, kYesNo, answer);
    Command(ID_FILE_DISABLE_AND_EXIT);
    const bool disabled = answer == IDYES;
    EXPECT_EQ(machine().ReadFile(kLetters),
              disabled ? "" : "C=(1A2B-3C4D)\r\n");
    EXPECT_EQ(view->modified, !disabled);
    EXPECT_EQ(view->restartPending, disabled);
    EXPECT_EQ(CloseWasPosted(), disabled);
  }
}

TEST_F(ExitCommandsTest, LettersIniThatCannotBeEmptiedChangesNothing) {
  Boot("roundtrip-disks");
  ASSERT_TRUE(Create());
  machine().WriteFile(kLetters, "C=(1A2B-3C4D)\r\n");
  view->modified = true;
  faults().Fail("Open", EACCES, 1, "letters.ini");
  ExpectError("Error opening the file Letters.ini : Permission denied");
  Command(ID_FILE_DISABLE_AND_EXIT);
  EXPECT_EQ(machine().ReadFile(kLetters), "C=(1A2B-3C4D)\r\n");
  EXPECT_TRUE(view->modified);
  EXPECT_FALSE(view->restartPending);
  EXPECT_FALSE(CloseWasPosted());
}

// The DriveSpace machine: DRVSPACE.INI lies on H:, the host of C:.
class DriveSpaceLaunchedTest : public ExitCommandsTest {
 protected:
  const char* kSettings = "H:\\DRVSPACE.INI";
  const char* kBackup = "C:\\WINDOWS\\SYSTEM.DA0";

  void SetUp() override {
    Boot("roundtrip-drivespace");
    start = sim::MakeFileTime(1999, 5, 31, 8, 0, 0);
    machine().WriteFile(kBackup, "registry copy");
    machine().WriteFile(kLetters, "/WD=(2E4F-0C11)\r\n");
    SetFileTimes(kBackup, start);
    SetFileTimes(kLetters, start + minute);
    SetFileTimes(kSettings, start - minute);
  }

  const FileTime minute = 60ull * 10000000ull;
  FileTime start = 0;
};

TEST_F(DriveSpaceLaunchedTest, OlderOrMissingFilesLetTheProgramStart) {
  const struct {
    const char* missing;  // nullptr: all three are there
    FileTime settings;
  } cases[] = {
      {nullptr, start + minute},  // no later than the last save
      {nullptr, start - minute},
      {"C:\\WINDOWS\\SYSTEM.DA0", start + 2 * minute},
      {kLetters, start + 2 * minute},
  };
  for (const auto& c : cases) {
    if (c.missing) {
      ASSERT_TRUE(platform::kernel().DeleteFileA(c.missing));
    }
    SetFileTimes(kSettings, c.settings);
    EXPECT_TRUE(Create()) << (c.missing ? c.missing : "all there");
    Close();
    if (c.missing) machine().WriteFile(c.missing, "");
    SetFileTimes(kBackup, start);
    SetFileTimes(kLetters, start + minute);
  }
  EXPECT_TRUE(user().Boxes().empty());
  EXPECT_TRUE(Reboots().empty());
}

TEST_F(DriveSpaceLaunchedTest, NewerSettingsEndTheStartWithTheRebootOffer) {
  SetFileTimes(kSettings, start + 2 * minute);
  for (int answer : {IDNO, IDYES}) {
    user().Expect("Pelmora", kDriveSpaceQuestion, kYesNo, answer);
    EXPECT_FALSE(Create());
    Close();
  }
  EXPECT_EQ(Reboots(), std::vector<uint32_t>{EWX_REBOOT});
}

TEST_F(DriveSpaceLaunchedTest, NewerSettingsAfterARefreshCloseTheProgram) {
  ASSERT_TRUE(Create());
  view->modified = true;
  view->restartPending = true;
  SetFileTimes(kSettings, start + 2 * minute);
  user().Expect("Pelmora", kDriveSpaceQuestion, kYesNo, IDNO);
  Command(ID_VIEW_REFRESH);
  EXPECT_FALSE(view->modified);
  EXPECT_FALSE(view->restartPending);
  EXPECT_TRUE(CloseWasPosted());
  // The forced close asks nothing more.
  EXPECT_TRUE(view->QueryClose());
  EXPECT_TRUE(Reboots().empty());
}

}  // namespace
