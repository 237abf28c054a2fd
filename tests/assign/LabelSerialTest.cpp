// Labels and serial numbers on simulated machines: the save's duplicate
// checks, the media-ID writes they make, and the serial dialog's format.
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>

#include "assign/DriveListView.h"
#include "assign/LabelSerial.h"
#include "framework/CmdTarget.h"
#include "framework/WindowCodes.h"
#include "framework/headless/Dialogs.h"
#include "framework/headless/Windows.h"
#include "platform/Codes.h"
#include "tests/support/MachineTest.h"
#include "tests/support/ProgramDialogs.h"

namespace {

const char kSerialQuestion[] =
    "Two or more of your hard disk drives have the same serial number. Their "
    "serial numbers must be corrected in order to save letter "
    "assignments.Do you want to correct them now ?";

std::string LabelMessage(const std::string& label) {
  return "You have chosen to save the information about your drives, that "
         "are visible in DOS mode, by label. However, the label '" +
         label +
         "' appears more than once among these drives. Please, ensure that "
         "all the labels are unique. To change them, use menu item: "
         "\"Tools/Set Label\". Otherwise, you can choose to save the "
         "information by serial number. To do so, go to the menu item "
         "\"View/Options\".";
}

class LabelSerialTest : public MachineTest {
 protected:
  // Save by serial number, as the start-up reads it without a registry value.
  LabelSerialTest() { options.saveBy = 0; }

  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(LoadProgramDialogs(KROMVA32_RC));
  }

  void TearDown() override {
    EXPECT_TRUE(dialogs().Done());
    view.reset();
    frame.DestroyWindow();
    headless::Windows::Get().Reset();
    MachineTest::TearDown();
  }

  void Create() {
    ASSERT_TRUE(frame.CreateEx(0, "PelmoraFrame", "Pelmora",
                               WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                               CRect(100, 50, 740, 530), nullptr, 0));
    view = std::make_unique<DriveListView>(&options);
    ASSERT_TRUE(view->CreateEx(0, "", "", WS_VISIBLE | LVS_REPORT,
                               CRect(0, 0, 640, 440), &frame, driveListId));
    headless::Windows::Get().PumpMessages();
  }

  headless::DialogUser& dialogs() { return headless::DialogUser::Get(); }

  void Click(char letter) {
    headless::ClickRow(view.get(), view->FindItem(letter - 'A'));
    headless::Windows::Get().PumpMessages();
  }

  void Command(unsigned id) {
    ASSERT_TRUE(view->OnCmdMsg(id, CN_COMMAND, nullptr)) << id;
  }

  bool Enabled(unsigned id) {
    CCmdUI ui(id);
    EXPECT_TRUE(view->OnCmdMsg(id, CN_UPDATE_COMMAND_UI, &ui)) << id;
    return ui.enabled;
  }

  std::string Column(char letter, int column) {
    char text[64];
    view->GetItemText(view->FindItem(letter - 'A'),
                      view->columnPosition[column], text, sizeof text);
    return text;
  }

  std::string SerialColumn(char letter) {
    char text[64];
    view->GetItemText(view->FindItem(letter - 'A'),
                      view->columnPosition[columnSerial], text, sizeof text);
    return text;
  }

  // The Set Media ID calls the driver was asked to run, by drive number.
  std::vector<int> MediaIdWrites() {
    std::vector<int> drives;
    for (const sim::DriverRequest& r : machine().DriverRequests()) {
      if (r.code != 1 || r.bytes.size() < 56) continue;
      const auto byte = [&](int i) { return uint8_t(r.bytes[i]); };
      // EAX at 28, ECX at 24, EBX at 16, interrupt at 48.
      if (byte(48) == 0x21 && byte(29) == 0x44 && byte(28) == 0x0D &&
          byte(24) == 0x46)
        drives.push_back(byte(16));
    }
    return drives;
  }

  OptionsDialog options;
  CWnd frame;
  std::unique_ptr<DriveListView> view;
};

TEST_F(LabelSerialTest, ThreeEqualSerialsAskOnceAndRewriteTheFirstTwo) {
  Boot("drivelist");
  for (char d : {'C', 'D', 'G'}) machine().drive(d)->serial = 0x1A2B3C4D;
  // A CD-ROM with the same number takes no part.
  machine().drive('E')->serial = 0x1A2B3C4D;
  Create();
  machine().ClearDriverRequests();
  user().Expect("Pelmora", kSerialQuestion, MB_ICONQUESTION | MB_YESNO, IDYES);
  EXPECT_TRUE(CheckDuplicateSerials(*view));

  EXPECT_EQ(MediaIdWrites(), (std::vector<int>{3, 4}));
  const uint32_t c = machine().drive('C')->serial;
  const uint32_t d = machine().drive('D')->serial;
  EXPECT_EQ(machine().drive('G')->serial, 0x1A2B3C4Du);
  EXPECT_EQ(machine().drive('E')->serial, 0x1A2B3C4Du);
  EXPECT_EQ(std::set<uint32_t>({c, d, 0x1A2B3C4Du}).size(), 3u);
  for (uint32_t serial : {c, d}) {
    // Two draws of 0..32767 each.
    EXPECT_EQ(serial & 0x80008000u, 0u) << std::hex << serial;
  }
  EXPECT_EQ(view->table.recordOf('C').serialNumber, c);
  EXPECT_EQ(view->table.recordOf('D').serialNumber, d);
  char text[10];
  snprintf(text, sizeof text, "%04X-%04X", c >> 16, c & 0xFFFF);
  EXPECT_EQ(SerialColumn('C'), text);
  EXPECT_EQ(SerialColumn('G'), "1A2B-3C4D");

  // Now unique: no question, nothing written.
  machine().ClearDriverRequests();
  EXPECT_TRUE(CheckDuplicateSerials(*view));
  EXPECT_TRUE(MediaIdWrites().empty());
  EXPECT_EQ(user().Boxes().size(), 1u);
}

TEST_F(LabelSerialTest, DecliningTheCorrectionWritesNothing) {
  Boot("drivelist");
  for (char d : {'C', 'G'}) machine().drive(d)->serial = 0x00010002;
  Create();
  machine().ClearDriverRequests();
  user().Expect("Pelmora", kSerialQuestion, MB_ICONQUESTION | MB_YESNO, IDNO);
  EXPECT_FALSE(CheckDuplicateSerials(*view));
  EXPECT_TRUE(MediaIdWrites().empty());
  EXPECT_EQ(machine().drive('C')->serial, 0x00010002u);
  EXPECT_EQ(view->table.recordOf('C').serialNumber, 0x00010002u);
}

TEST_F(LabelSerialTest, AFailedWriteClearsTheSerialAndStopsTheScan) {
  Boot("drivelist");
  for (char d : {'C', 'D', 'G'}) machine().drive(d)->serial = 0x12345678;
  machine().drive('C')->readOnly = true;
  Create();
  machine().ClearDriverRequests();
  user().Expect("Pelmora", kSerialQuestion, MB_ICONQUESTION | MB_YESNO, IDYES);
  user().Answer(IDOK);
  EXPECT_FALSE(CheckDuplicateSerials(*view));
  ASSERT_EQ(user().Boxes().size(), 2u);
  EXPECT_EQ(user().Boxes()[1].text.rfind(
                "Error writing serial number for the drive C. : ", 0),
            0u)
      << user().Boxes()[1].text;
  EXPECT_EQ(user().Boxes()[1].type, unsigned(MB_ICONERROR | MB_OK));
  // Both categories tried on C:, D: never reached.
  EXPECT_EQ(MediaIdWrites(), (std::vector<int>{3, 3}));
  EXPECT_EQ(view->table.recordOf('C').serialNumber, 0u);
  EXPECT_EQ(SerialColumn('C'), "0000-0000");
  EXPECT_EQ(machine().drive('D')->serial, 0x12345678u);
}

TEST_F(LabelSerialTest, ASaveBySerialRepairsThenWritesTheNewNumbers) {
  Boot("roundtrip-disks");
  machine().drive('D')->serial = machine().drive('C')->serial;
  Create();
  // Z: is a temporary connection, whose letter may not change.
  view->table.recordOf('Z').newLetter = noLetter;
  user().Expect("Pelmora", kSerialQuestion, MB_ICONQUESTION | MB_YESNO, IDYES);
  EXPECT_TRUE(view->SaveAssignment());
  const uint32_t c = machine().drive('C')->serial;
  ASSERT_NE(c, 0x1A2B3C4Du);
  char line[32];
  snprintf(line, sizeof line, "C=(%04X-%04X)\r\n", c >> 16, c & 0xFFFF);
  const std::string letters = machine().ReadFile("C:\\Pelmora\\Letters.ini");
  EXPECT_NE(letters.find(line), std::string::npos) << letters;
  EXPECT_NE(letters.find("D=(1A2B-3C4D)\r\n"), std::string::npos) << letters;
}

TEST_F(LabelSerialTest, MissingVolumeDataIsReadAgainAndTheAssignmentRechecked) {
  Boot("roundtrip-disks");
  Create();
  view->table.recordOf('Z').newLetter = noLetter;
  // The refresh reads D:'s data again; the new table is complete.
  view->table.recordOf('D').volumeInfoValid = 0;
  EXPECT_TRUE(CheckDuplicateSerials(*view));
  EXPECT_TRUE(view->table.recordOf('D').volumeInfoValid);
  EXPECT_TRUE(user().Boxes().empty());

  // A drive left without a New letter after the refresh stops the check
  // with the completeness message.
  view->table.recordOf('D').volumeInfoValid = 0;
  view->table.recordOf('A').newLetter = noLetter;
  user().Expect("Pelmora",
                "Not all of the drives have been assigned a new letter.\n"
                "Please, choose letters for all of the drives and then try "
                "again.",
                MB_ICONEXCLAMATION | MB_OK, IDOK);
  EXPECT_FALSE(CheckDuplicateLabels(*view));

  // Data the refresh cannot read either fails without a message of its own,
  // after the discovery's.
  view->table.recordOf('A').newLetter = 'A';
  machine().drive('D')->ready = false;
  view->table.recordOf('D').volumeInfoValid = 0;
  user().Expect("Pelmora",
                "Error getting volume information for drive D : The device "
                "is not ready.\r\n",
                MB_ICONERROR | MB_OK, IDOK);
  EXPECT_FALSE(CheckDuplicateSerials(*view));
  EXPECT_EQ(user().Boxes().size(), 2u);
}

TEST_F(LabelSerialTest, TheFirstSharedLabelIsReportedOnce) {
  Boot("drivelist");
  machine().drive('D')->label = "system";
  machine().drive('G')->label = "BIG";
  // A CD-ROM sharing a disk's label takes no part.
  machine().drive('E')->label = "BIG";
  Create();
  user().Expect("Pelmora", LabelMessage("SYSTEM"), MB_ICONEXCLAMATION | MB_OK,
                IDOK);
  EXPECT_FALSE(CheckDuplicateLabels(*view));
  EXPECT_EQ(user().Boxes().size(), 1u);

  machine().drive('D')->label = "DATA";
  view->Refresh();
  EXPECT_TRUE(CheckDuplicateLabels(*view));
  EXPECT_EQ(user().Boxes().size(), 1u);
}

TEST_F(LabelSerialTest, TwoDisksWithoutALabelShareTheEmptyOne) {
  Boot("drivelist");
  machine().drive('C')->label = "";
  machine().drive('G')->label = "";
  Create();
  user().Expect("Pelmora", LabelMessage(""), MB_ICONEXCLAMATION | MB_OK, IDOK);
  EXPECT_FALSE(CheckDuplicateLabels(*view));
}

const char kFormatMessage[] =
    "Serial number must have the following form:\nnnnn - nnnn\nwhere n - "
    "hexadecimal numbers ( 0-9, A-F ).";

TEST_F(LabelSerialTest, TheCommandsNeedATargetRow) {
  Boot("drivelist");
  Create();
  view->SelectGroup(-1, LVIS_SELECTED);
  EXPECT_FALSE(Enabled(ID_TOOLS_SET_LABEL));
  EXPECT_FALSE(Enabled(ID_TOOLS_SET_SERIAL_NUMBER));
  // Without a target the commands show nothing.
  Command(ID_TOOLS_SET_LABEL);
  Command(ID_TOOLS_SET_SERIAL_NUMBER);
  EXPECT_TRUE(dialogs().Shown().empty());
  Click('D');
  EXPECT_TRUE(Enabled(ID_TOOLS_SET_LABEL));
  EXPECT_TRUE(Enabled(ID_TOOLS_SET_SERIAL_NUMBER));
}

TEST_F(LabelSerialTest, TheSerialDialogKeepsAskingUntilBothWordsHaveTheForm) {
  Boot("drivelist");
  Create();
  Click('D');
  machine().ClearDriverRequests();
  dialogs().Expect(
      serialDialogId,
      {headless::Type(serialHighId, "12G4"), headless::Click(IDOK),
       headless::Type(serialHighId, "123"), headless::Click(IDOK),
       headless::Type(serialHighId, "9abc"),
       headless::Type(serialLowId, "123456"), headless::Click(IDOK)});
  user().Expect("Pelmora", kFormatMessage, MB_ICONERROR | MB_OK, IDOK);
  user().Expect("Pelmora", kFormatMessage, MB_ICONERROR | MB_OK, IDOK);
  Command(ID_TOOLS_SET_SERIAL_NUMBER);

  ASSERT_EQ(dialogs().Shown().size(), 1u);
  const headless::ShownDialog& shown = dialogs().Shown()[0];
  EXPECT_EQ(shown.result, IDOK);
  EXPECT_EQ(shown.textsAtStart.at(promptTextId),
            "Please, enter serial number for the drive D:");
  EXPECT_EQ(shown.textsAtStart.at(serialHighId), "2B3C");
  EXPECT_EQ(shown.textsAtStart.at(serialLowId), "4D5E");
  EXPECT_EQ(shown.limits.at(serialHighId), 4);
  EXPECT_EQ(shown.limits.at(serialLowId), 4);
  // The edits force upper case and cut at four characters.
  EXPECT_EQ(shown.textsAtEnd.at(serialHighId), "9ABC");
  EXPECT_EQ(shown.textsAtEnd.at(serialLowId), "1234");
  EXPECT_EQ(MediaIdWrites(), (std::vector<int>{4}));
  EXPECT_EQ(machine().drive('D')->serial, 0x9ABC1234u);
  EXPECT_EQ(view->table.recordOf('D').serialNumber, 0x9ABC1234u);
  EXPECT_EQ(SerialColumn('D'), "9ABC-1234");
}

TEST_F(LabelSerialTest, AFailedSerialWriteIsReportedAndTheListRefreshed) {
  Boot("drivelist");
  Create();
  machine().drive('D')->readOnly = true;
  Click('D');
  dialogs().Expect(serialDialogId, {headless::Type(serialLowId, "0000"),
                                    headless::Click(IDOK)});
  user().Answer(IDOK);
  Command(ID_TOOLS_SET_SERIAL_NUMBER);
  ASSERT_EQ(user().Boxes().size(), 1u);
  EXPECT_EQ(user().Boxes()[0].text.rfind(
                "Error writing serial number for the drive D. : ", 0),
            0u)
      << user().Boxes()[0].text;
  // The refresh shows the number the disk really has.
  EXPECT_EQ(view->table.recordOf('D').serialNumber, 0x2B3C4D5Eu);
  EXPECT_EQ(SerialColumn('D'), "2B3C-4D5E");
}

TEST_F(LabelSerialTest, SetLabelWritesTheLabelOrReportsAndRefreshes) {
  Boot("drivelist");
  Create();
  Click('D');
  dialogs().Expect(
      labelDialogId,
      {headless::Type(labelEditId, "NEW DISK 12345"), headless::Click(IDOK)});
  Command(ID_TOOLS_SET_LABEL);
  ASSERT_EQ(dialogs().Shown().size(), 1u);
  EXPECT_EQ(dialogs().Shown()[0].textsAtStart.at(promptTextId),
            "Please, enter a label for the drive D:");
  EXPECT_EQ(dialogs().Shown()[0].textsAtStart.at(labelEditId), "DATA");
  EXPECT_EQ(dialogs().Shown()[0].limits.at(labelEditId), 11);
  EXPECT_EQ(machine().drive('D')->label, "NEW DISK 12");
  EXPECT_EQ(Column('D', columnLabel), "NEW DISK 12");

  // An empty text clears the label.
  dialogs().Expect(labelDialogId,
                   {headless::Type(labelEditId, ""), headless::Click(IDOK)});
  Command(ID_TOOLS_SET_LABEL);
  EXPECT_EQ(machine().drive('D')->label, "");
  EXPECT_EQ(Column('D', columnLabel), "");

  // Cancel changes nothing.
  dialogs().Expect(labelDialogId, {headless::Type(labelEditId, "OTHER"),
                                   headless::Click(IDCANCEL)});
  Command(ID_TOOLS_SET_LABEL);
  EXPECT_EQ(machine().drive('D')->label, "");

  // A CD-ROM takes no label.
  Click('E');
  dialogs().Expect(labelDialogId, {headless::Type(labelEditId, "MINE"),
                                   headless::Click(IDOK)});
  user().Expect("Pelmora",
                "Error setting volume label on drive E : Access is denied.\r\n",
                MB_ICONERROR | MB_OK, IDOK);
  Command(ID_TOOLS_SET_LABEL);
  EXPECT_EQ(machine().drive('E')->label, "DISC1");
  EXPECT_EQ(Column('E', columnLabel), "DISC1");
}

TEST(SerialFormat, FourUpperCaseHexDigitsEach) {
  const struct {
    const char* text;
    bool valid;
  } cases[] = {{"12G4", false},  {"123", false},  {"", false},
               {"12345", false}, {"1a2b", false}, {"0000", true},
               {"09AF", true},   {"FFFF", true}};
  for (const auto& c : cases)
    EXPECT_EQ(SerialFormat::IsWord(c.text), c.valid) << c.text;
  EXPECT_EQ(SerialFormat::Parse("0001", "ABCD"), 0x0001ABCDu);
  EXPECT_EQ(SerialFormat::Parse("FFFF", "0000"), 0xFFFF0000u);
}

}  // namespace
