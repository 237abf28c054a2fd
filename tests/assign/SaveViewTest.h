// The drive list view on a simulated machine, for the tests of the save, of
// closing and of the round trip through a restart: a frame, the view with
// its duplicate checks observable, and helpers for rows, commands and file
// times.
#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "assign/DriveListView.h"
#include "assign/OptionsDialog.h"
#include "framework/WindowCodes.h"
#include "framework/headless/Windows.h"
#include "platform/Codes.h"
#include "tests/support/MachineTest.h"

// The view with the save's duplicate checks standing in for the device
// tools: they count their calls and answer as told.
class SaveView : public DriveListView {
 public:
  explicit SaveView(OptionsDialog* options) : DriveListView(options) {}
  int serialChecks = 0;
  int labelChecks = 0;
  bool serialCheckPasses = true;
  bool labelCheckPasses = true;

 protected:
  bool CheckDuplicateSerials() override {
    ++serialChecks;
    return serialCheckPasses;
  }
  bool CheckDuplicateLabels() override {
    ++labelChecks;
    return labelCheckPasses;
  }
};

class SaveViewTest : public MachineTest {
 protected:
  // As the start-up reads it when the registry holds no option.
  SaveViewTest() { options.saveBy = 0; }

  void TearDown() override {
    Close();
    frame.DestroyWindow();
    headless::Windows::Get().Reset();
    MachineTest::TearDown();
  }

  // Creates the view (and the frame, the first time) on the booted
  // machine, as the program's start does; false when the creation failed.
  bool Create() {
    if (frame.GetSafeHwnd() == 0) {
      EXPECT_TRUE(frame.CreateEx(0, "PelmoraFrame", "Pelmora",
                                 WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                 CRect(100, 50, 740, 530), nullptr, 0));
    }
    view = std::make_unique<SaveView>(&options);
    const bool created =
        view->CreateEx(0, "", "", WS_VISIBLE | LVS_REPORT,
                       CRect(0, 0, 640, 440), &frame, driveListId);
    headless::Windows::Get().PumpMessages();
    return created;
  }

  // Ends the program's run: the view and its drive table go, and with them
  // everything they took from the shell, the driver and DOS.
  void Close() {
    view.reset();
    EXPECT_EQ(machine().OutstandingShellItems(), 0);
    EXPECT_EQ(machine().OutstandingShellObjects(), 0);
    EXPECT_EQ(machine().OpenDriverHandles(), 0);
    EXPECT_EQ(machine().DosBlocks(), 0);
  }

  int RowOf(char letter) { return view->FindItem(letter - 'A'); }

  std::string Text(int row, int column) {
    char text[64];
    view->GetItemText(row, view->columnPosition[column], text, sizeof text);
    return text;
  }

  void Click(char letter) {
    headless::ClickRow(view.get(), RowOf(letter));
    headless::Windows::Get().PumpMessages();
  }

  void Command(unsigned id) {
    ASSERT_TRUE(view->OnCmdMsg(id, CN_COMMAND, nullptr)) << id;
  }

  // Gives the drive a letter as the user does: select its row, then the
  // letter's command.
  void Assign(char drive, char letter) {
    Click(drive);
    Command(ID_LETTER_A + (letter - 'A'));
  }

  void ExpectError(const std::string& text) {
    user().Expect("Pelmora", text, MB_ICONERROR | MB_OK, IDOK);
  }

  // Sets a file's times, read-only or not.
  void SetFileTimes(const char* path, FileTime time) {
    platform::Kernel& kernel = platform::kernel();
    const uint32_t attributes = kernel.GetFileAttributesA(path);
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES) << path;
    kernel.SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
    EXPECT_TRUE(kernel.SetFileTime(path, &time, &time, &time)) << path;
    kernel.SetFileAttributesA(path, attributes);
  }

  OptionsDialog options;
  CWnd frame;
  std::unique_ptr<SaveView> view;
};
