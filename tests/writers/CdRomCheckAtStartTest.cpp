// The list view's creation runs the real CD-ROM letter check right after
// the drive table is built.
#include <gtest/gtest.h>

#include <memory>

#include "assign/DriveListView.h"
#include "framework/WindowCodes.h"
#include "framework/headless/Windows.h"
#include "platform/Codes.h"
#include "tests/support/MachineTest.h"

namespace {

using headless::Windows;

class CdRomCheckAtStartTest : public MachineTest {
 protected:
  void TearDown() override {
    view.reset();
    frame.DestroyWindow();
    Windows::Get().Reset();
    MachineTest::TearDown();
  }

  // Creates the view in a frame on the booted machine; false when the
  // view's creation failed.
  bool Create() {
    if (!machine().Exists("C:\\Pelmora\\drivemap.dat"))
      machine().WriteFile("C:\\Pelmora\\drivemap.dat",
                          "map\nA B C D E F G H I J K L M N O P Q R S T U V W "
                          "X Y Z\n");
    EXPECT_TRUE(frame.CreateEx(0, "PelmoraFrame", "Pelmora",
                               WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                               CRect(100, 50, 740, 530), nullptr, 0));
    view = std::make_unique<DriveListView>();
    const bool created =
        view->CreateEx(0, "", "", WS_VISIBLE | LVS_REPORT,
                       CRect(0, 0, 640, 440), &frame, driveListId);
    Windows::Get().PumpMessages();
    return created;
  }

  bool HasAssignment(const char* key) {
    return machine().RegistryValue(std::string("HKEY_LOCAL_MACHINE\\") + key,
                                   "UserDriveLetterAssignment", nullptr);
  }

  CWnd frame;
  std::unique_ptr<DriveListView> view;
};

TEST_F(CdRomCheckAtStartTest, DosCdRomEndsTheCreationAfterTheQuestion) {
  // probes: E: is served by a DOS driver; the changer G:/H: is not.
  Boot("probes");
  user().Expect(
      "Pelmora",
      "Your protected mode CD-ROM letters mismatch with DOS-mode CD-ROM "
      "letters. Pelmora has corrected this error. Now it's necessary to "
      "reboot the computer before starting the program.\n\n(  If this message "
      "appears for the second time, please, edit manually CONFIG.SYS and "
      "AUTOEXEC.BAT files and disable DOS CD-ROM drives : put REM at the "
      "start of the line containing MSCDEX.EXE and reboot  ).\n\nDo you want "
      "to reboot now ?",
      MB_ICONQUESTION | MB_YESNO, IDYES);
  EXPECT_FALSE(Create());
  EXPECT_FALSE(HasAssignment("Enum\\SCSI\\NEC_CD-ROM_CHANGER\\0000"));
  // The floppy's and the disk's values are no CD-ROM's.
  EXPECT_TRUE(HasAssignment("Enum\\FLOP\\GENERIC_NEC__FLOPPY_DISK_\\0000"));
  EXPECT_TRUE(HasAssignment("Enum\\SCSI\\ADAPTEC_DISK____\\0000"));
  EXPECT_EQ(machine().ExitRequests(), std::vector<uint32_t>{EWX_REBOOT});
}

TEST_F(CdRomCheckAtStartTest, WithoutDosCdRomTheViewIsCreated) {
  // drivelist: the changer E:/F: is served in protected mode.
  Boot("drivelist");
  ASSERT_TRUE(Create());
  EXPECT_TRUE(user().Boxes().empty());
  EXPECT_TRUE(HasAssignment("Enum\\SCSI\\NEC_CD-ROM_CHANGER\\0000"));
  EXPECT_GT(view->GetItemCount(), 0);
  EXPECT_TRUE(machine().ExitRequests().empty());
}

}  // namespace
