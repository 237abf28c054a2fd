// What a user can type that the program must not trust: labels with
// percent signs, quotes, blanks and more than eleven characters, serial
// numbers that are no four hexadecimal digits, and characters typed where
// a drive letter goes that are no letter A to Z. Each either reaches the
// disk and Letters.ini exactly as typed or is refused with the system's
// own text, and nothing typed is ever taken for a format.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "assign/DriveListView.h"
#include "assign/LabelSerial.h"
#include "assign/OptionsDialog.h"
#include "framework/WindowCodes.h"
#include "framework/headless/Dialogs.h"
#include "framework/headless/Windows.h"
#include "platform/Codes.h"
#include "tests/support/MachineTest.h"
#include "tests/support/ProgramDialogs.h"

namespace {

const char kLetters[] = "C:\\Pelmora\\Letters.ini";
const char kBadName[] =
    "Error setting volume label on drive D : The filename, directory name, "
    "or volume label syntax is incorrect.\r\n";
const char kSerialForm[] =
    "Serial number must have the following form:\nnnnn - nnnn\nwhere n - "
    "hexadecimal numbers ( 0-9, A-F ).";

class BadInputTest : public MachineTest {
 protected:
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

  void Create(const char* fixture) {
    Boot(fixture);
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

  std::string Column(char letter, int column) {
    char text[64];
    view->GetItemText(view->FindItem(letter - 'A'),
                      view->columnPosition[column], text, sizeof text);
    return text;
  }

  std::string NewLetters() {
    std::string texts;
    for (int row = 0; row < view->GetItemCount(); ++row) {
      char text[8];
      view->GetItemText(row, view->columnPosition[columnNew], text,
                        sizeof text);
      texts += std::string(text) + ",";
    }
    return texts;
  }

  OptionsDialog options;
  CWnd frame;
  std::unique_ptr<DriveListView> view;
};

TEST_F(BadInputTest, LabelsReachTheDiskAndLettersIniAsTypedOrAreRefused) {
  const struct {
    const char* typed;
    const char* label;  // on the disk afterwards; null: refused
    const char* line;   // D:'s line in Letters.ini saved by label
  } cases[] = {
      {"100% %s%n", "100% %s%n", "D=\"100% %s%n\"\r\n"},
      {"%X%d", "%X%d", "D=%X%d\r\n"},
      {"  BLANKS", "  BLANKS", "D=\"  BLANKS\"\r\n"},
      {"TWELVE CHARS", "TWELVE CHAR", "D=\"TWELVE CHAR\"\r\n"},
      {"ABCDEFGHIJKLMNOP", "ABCDEFGHIJK", "D=ABCDEFGHIJK\r\n"},
      {"\"QUOTED\"", nullptr, "D=DATA\r\n"},
      {"SAY \"HI\"", nullptr, "D=DATA\r\n"},
      {"A=B", nullptr, "D=DATA\r\n"},
      {"TAB\tHERE", nullptr, "D=DATA\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed);
    Create("roundtrip-disks");
    options.saveBy = 1;
    Click('D');
    dialogs().Expect(labelDialogId, {headless::Type(labelEditId, c.typed),
                                     headless::Click(IDOK)});
    if (!c.label)
      user().Expect("Pelmora", kBadName, MB_ICONERROR | MB_OK, IDOK);
    Command(ID_TOOLS_SET_LABEL);
    EXPECT_EQ(machine().drive('D')->label, c.label ? c.label : "DATA");
    EXPECT_EQ(Column('D', columnLabel), c.label ? c.label : "DATA");

    ASSERT_TRUE(view->SaveAssignment());
    const std::string letters = machine().ReadFile(kLetters);
    EXPECT_NE(letters.find(std::string("\r\n") + c.line), std::string::npos)
        << letters;
    EXPECT_TRUE(user().Done());
    TearDown();
  }
}

TEST_F(BadInputTest, SerialsThatAreNoFourHexDigitsAreAskedAgain) {
  Create("roundtrip-disks");
  options.saveBy = 0;
  Click('D');
  // The edits cut at four characters and force upper case; whatever else
  // is typed is refused until both words have the form.
  const char* const refused[] = {"%X%X", "%s", " 12 ", "\"12\"",
                                 "12-4", "",   "G000", "0x12"};
  std::vector<headless::UserAct> acts;
  for (const char* high : refused) {
    acts.push_back(headless::Type(serialHighId, high));
    acts.push_back(headless::Click(IDOK));
    user().Expect("Pelmora", kSerialForm, MB_ICONERROR | MB_OK, IDOK);
  }
  acts.push_back(headless::Type(serialHighId, "00fe"));
  acts.push_back(headless::Type(serialLowId, "%d12"));
  acts.push_back(headless::Click(IDOK));
  user().Expect("Pelmora", kSerialForm, MB_ICONERROR | MB_OK, IDOK);
  acts.push_back(headless::Type(serialLowId, "0a0b"));
  acts.push_back(headless::Click(IDOK));
  dialogs().Expect(serialDialogId, acts);
  Command(ID_TOOLS_SET_SERIAL_NUMBER);
  EXPECT_EQ(machine().drive('D')->serial, 0x00FE0A0Bu);
  EXPECT_EQ(Column('D', columnSerial), "00FE-0A0B");
  ASSERT_TRUE(view->SaveAssignment());
  const std::string letters = machine().ReadFile(kLetters);
  EXPECT_NE(letters.find("\r\nD=(00FE-0A0B)\r\n"), std::string::npos)
      << letters;
}

TEST_F(BadInputTest, CharactersOtherThanLettersNeverBecomeALetter) {
  Create("roundtrip-disks");
  Click('D');
  const std::string before = NewLetters();
  // Neighbours of A..Z and a..z, digits, blanks, controls and the
  // letters of code page 1252 above 127.
  const unsigned typed[] = {'@',  '[',  '`',  '{',       '0',  '9',
                            ' ',  '\t', '\r', 0x7F,      0xC4, 0xC9,
                            0xE4, 0xFF, 0x1A, 0x80 + 'A'};
  for (unsigned ch : typed) {
    headless::TypeChar(view.get(), char(ch));
    EXPECT_EQ(NewLetters(), before) << ch;
    EXPECT_TRUE(headless::Defaulted(view.get(), WM_CHAR, ch)) << ch;
  }
  EXPECT_FALSE(view->modified);
  // Letter commands exist for A..Z only: the ids around them do nothing.
  EXPECT_FALSE(view->OnCmdMsg(ID_LETTER_A - 1, CN_COMMAND, nullptr) &&
               NewLetters() != before);
  EXPECT_FALSE(view->OnCmdMsg(ID_LETTER_A + 26, CN_COMMAND, nullptr) &&
               NewLetters() != before);
  EXPECT_EQ(NewLetters(), before);
}

}  // namespace
