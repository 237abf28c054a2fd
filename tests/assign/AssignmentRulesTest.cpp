#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "assign/AssignmentRules.h"
#include "assign/EditCommands.h"
#include "platform/Codes.h"
#include "tests/support/MachineTest.h"

namespace {

const uint32_t refusal = MB_ICONEXCLAMATION | MB_OK;
const uint32_t warning = MB_ICONQUESTION | MB_YESNO;
const WindowHandle listWindow = 0x4242;

// The list in display order: one drive index per row.
class FakeRows : public DriveRows {
 public:
  int GetRowCount() const override { return int(drives.size()); }
  int GetRowDrive(int row) const override { return drives[row]; }
  void SetRowNewText(int row, const char* text) override {
    texts.resize(drives.size());
    texts[row] = text;
  }
  void SetModified(bool value) override { modified = value; }
  WindowHandle GetBoxOwner() const override { return listWindow; }
  std::string TextOf(char letter) const {
    for (size_t row = 0; row < drives.size(); ++row) {
      if (drives[row] == letter - 'A')
        return row < texts.size() ? texts[row] : "";
    }
    return "?";
  }

  std::vector<int> drives;
  std::vector<std::string> texts;
  bool modified = false;
};

class AssignmentRulesTest : public MachineTest {
 protected:
  void SetUp() override {
    Boot("basic");
    machine().WriteFile(
        machine().Property("Machine", "CurrentDirectory") + "\\drivemap.dat",
        "map\nA B C D E F G H I J K L M N O P Q R S T U V W X Y Z\n");
    table = std::make_unique<DriveTable>();
    table->windowsDriveLetter = 'C';
    rules = std::make_unique<AssignmentRules>(*table, rows);
  }
  // The table gives its DOS memory and driver back to the machine, so it
  // goes before the machine does.
  void TearDown() override {
    rules.reset();
    table.reset();
    MachineTest::TearDown();
  }
  // A present drive with a row at the end of the list.
  DriveRecord& Add(char letter, int type = DRIVE_FIXED) {
    DriveRecord& r = table->recordOf(letter);
    r.present = 1;
    r.driveType = type;
    rows.drives.push_back(letter - 'A');
    return r;
  }
  // A drive of a multi-letter device.
  DriveRecord& AddCdRom(char letter, uint32_t node) {
    DriveRecord& r = Add(letter, DRIVE_CDROM);
    r.deviceNode = node;
    return r;
  }
  void ExpectRefusal(const std::string& text) {
    user().Expect("Pelmora", text, refusal, IDOK);
  }
  void ExpectWarning(const std::string& text, int answer) {
    user().Expect("Pelmora", text, warning, answer);
  }
  static std::string WindowsWarning(char x) {
    return std::string("You are going to change the letter of the drive ") + x +
           " containing Windows\xAE. It is possible, but it is not "
           "recommended, unless you are an advanced user. There are many "
           "references to the current Windows\xAE directory location in the "
           "Registry and in the files c:\\msdos.sys, c:\\config.sys, "
           "c:\\autoexec.bat. If you need to change the letter, you should "
           "replace all these references by the new ones, otherwise "
           "Windows\xAE will not start.\n\nAre you sure you want to change "
           "the letter of the drive " +
           x + " ?";
  }
  static std::string DriveCWarning() {
    return "Changing the letter of the drive C is supported by Pelmora, but "
           "it is not recommended, unless you are an advanced user. Some "
           "programs need to change the files C:\\config.sys, "
           "C:\\autoexec.bat, C:\\msdos.sys, C:\\drvspace.ini. Such programs "
           "expect that these files are located in C:\\. If the drive C "
           "changes its letter, the programs will be unable to find these "
           "files, and you must make the changes manually.\n\nAre you sure "
           "you want to change the letter of the drive C ?";
  }

  FakeRows rows;
  std::unique_ptr<DriveTable> table;
  std::unique_ptr<AssignmentRules> rules;
};

TEST_F(AssignmentRulesTest, GroupsAreCdRomsOrProtectedModeDrivesOfOneDevice) {
  AddCdRom('E', 7);
  AddCdRom('F', 7);
  AddCdRom('G', 8);
  Add('H').deviceNode = 7;         // a DOS drive: no group
  AddCdRom('I', 0);                // no device node
  Add('J').protectedModeOnly = 1;  // protected mode, own device
  table->recordOf('J').deviceNode = 9;
  DriveRecord& k = Add('K');  // unswapped compressed volume
  k.protectedModeOnly = 1, k.deviceNode = 9, k.compressionRole = 1;
  DriveRecord& l = Add('L');  // swapped host
  l.protectedModeOnly = 1, l.deviceNode = 9, l.compressionRole = 2;
  l.swapped = 1;
  table->recordOf('M').deviceNode = 7;  // not present
  table->recordOf('M').driveType = DRIVE_CDROM;

  for (char c : {'E', 'F', 'G', 'J'})
    EXPECT_TRUE(rules->IsGroupMember(c - 'A'));
  for (char c : {'H', 'I', 'K', 'L', 'M'})
    EXPECT_FALSE(rules->IsGroupMember(c - 'A')) << c;
  EXPECT_TRUE(rules->InSameGroup('E' - 'A', 'F' - 'A'));
  EXPECT_FALSE(rules->InSameGroup('E' - 'A', 'G' - 'A'));
  EXPECT_FALSE(rules->InSameGroup('E' - 'A', 'H' - 'A'));
  EXPECT_FALSE(rules->InSameGroup('J' - 'A', 'K' - 'A'));
  EXPECT_TRUE(rules->InSameGroup('H' - 'A', 'H' - 'A'));
}

struct Refusal {
  const char* name;
  void (*setUp)(DriveTable&);
  char letter;
  CheckMode mode;
  const char* text;  // "" = refused without a box
};

TEST_F(AssignmentRulesTest, CheckLetterRefusesWithTheFirstReasonThatApplies) {
  const Refusal cases[] = {
      {"letter B of a shared floppy",
       [](DriveTable& t) {
         t.recordOf('A').present = 1;
         t.recordOf('A').sharesPhysicalDrive = 1;
       },
       'B', ReleaseLetter,
       "It's impossible to use letter B for any drive other then its current "
       "owner, because B: is one of several letters assigned to the single "
       "physical drive."},
      {"absent drive cannot change", [](DriveTable&) {}, 'Q', ChangeDrive, ""},
      {"unswapped host",
       [](DriveTable& t) {
         t.recordOf('D').present = 1;
         t.recordOf('D').compressionRole = 2;
       },
       'D', ReleaseLetter,
       "It's impossible to use letter D for any drive other then its current "
       "owner, because drive D: is the host for a compressed drive (and they "
       "are not swapped)."},
      {"swapped compressed volume",
       [](DriveTable& t) {
         DriveRecord& r = t.recordOf('D');
         r.present = 1, r.compressionRole = 1, r.swapped = 1;
         r.hostLetter = 'H';
       },
       'D', ChangeDrive,
       "It's impossible to change letter assignment for the drive D:, "
       "because drive D: is a compressed drive, and it is swapped with its "
       "host drive H:"},
      {"host reason comes before shared drive",
       [](DriveTable& t) {
         DriveRecord& r = t.recordOf('A');
         r.present = 1, r.compressionRole = 2, r.sharesPhysicalDrive = 1;
       },
       'A', ChangeDrive,
       "It's impossible to change letter assignment for the drive A:, "
       "because drive A: is the host for a compressed drive (and they are "
       "not swapped)."},
      {"protected-mode compressed volume",
       [](DriveTable& t) {
         DriveRecord& r = t.recordOf('H');
         r.present = 1, r.protectedModeOnly = 1, r.compressionRole = 1;
       },
       'H', ChangeDrive,
       "It's impossible to assign a letter to the drive H: , because it is a "
       "protected-mode-only compressed drive (that is not swapped with its "
       "host drive). The system assignes first available letter to such a "
       "drive."},
      {"protected-mode swapped host",
       [](DriveTable& t) {
         DriveRecord& r = t.recordOf('H');
         r.present = 1, r.protectedModeOnly = 1, r.compressionRole = 2;
         r.swapped = 1;
       },
       'H', ChangeDrive,
       "It's impossible to assign a letter to the drive H: , because it is "
       "the host for a protected-mode-only compressed drive, and their "
       "letters are swapped. The system assignes first available letter to "
       "such a drive."},
      {"temporary connection replaces an earlier reason",
       [](DriveTable& t) {
         DriveRecord& r = t.recordOf('N');
         r.present = 1, r.driveType = DRIVE_REMOTE, r.sharesPhysicalDrive = 1;
       },
       'N', ChangeDrive,
       "Drive N is a temporary network connection, it's impossible to assign "
       "a permanent letter to it. If you want to do so, disconnect the drive "
       "and map it again using the option \"Reconnect at logon\". Then use "
       "View/Refresh menu item from the Pelmora main menu."},
  };
  for (const Refusal& c : cases) {
    SCOPED_TRACE(c.name);
    DriveTable fresh;
    fresh.windowsDriveLetter = 'C';
    AssignmentRules local(fresh, rows);
    c.setUp(fresh);
    size_t before = user().Boxes().size();
    EXPECT_FALSE(local.CheckLetter(c.letter, c.mode, false));
    EXPECT_EQ(user().Boxes().size(), before);  // silent
    if (c.text[0]) ExpectRefusal(c.text);
    EXPECT_FALSE(local.CheckLetter(c.letter, c.mode, true));
    EXPECT_EQ(user().Boxes().size(), before + (c.text[0] ? 1 : 0));
    EXPECT_TRUE(user().Done());
  }
  ASSERT_FALSE(user().Boxes().empty());
  EXPECT_EQ(user().Boxes().back().owner, listWindow);
}

TEST_F(AssignmentRulesTest, ProtectedModeDrivesAndFreeLettersGiveTheirLetters) {
  DriveRecord& h = Add('H');
  h.protectedModeOnly = 1, h.compressionRole = 1;
  EXPECT_TRUE(rules->CheckLetter('H', ReleaseLetter, true));
  EXPECT_TRUE(rules->CheckLetter('Q', ReleaseLetter, true));
  EXPECT_TRUE(rules->CheckLetter('B', ReleaseLetter, true));
  EXPECT_TRUE(user().Boxes().empty());
}

TEST_F(AssignmentRulesTest, WindowsOnCAsksOnlyTheWindowsWarning) {
  Add('C');
  ExpectWarning(WindowsWarning('C'), IDYES);
  EXPECT_TRUE(rules->CheckLetter('C', ChangeDrive, true));
  ExpectWarning(WindowsWarning('C'), IDNO);
  EXPECT_FALSE(rules->CheckLetter('C', ReleaseLetter, true));
  // Silent checks ask nothing.
  EXPECT_TRUE(rules->CheckLetter('C', ChangeDrive, false));
}

TEST_F(AssignmentRulesTest, WindowsElsewhereAndDriveCEachAskTheirOwnWarning) {
  table->windowsDriveLetter = 'D';
  Add('C');
  Add('D');
  // D's letter to C: the Windows warning about D first, then the one about C.
  ExpectWarning(WindowsWarning('D'), IDYES);
  ExpectWarning(DriveCWarning(), IDYES);
  EXPECT_TRUE(rules->CanAssignLetter('D', 'C', true));
  // No to the first still lets the second check run; the answer is no.
  ExpectWarning(WindowsWarning('D'), IDNO);
  ExpectWarning(DriveCWarning(), IDYES);
  EXPECT_FALSE(rules->CanAssignLetter('D', 'C', true));
}

TEST_F(AssignmentRulesTest, OwnLetterPassesWithoutAnyBox) {
  DriveRecord& c = Add('C');
  c.compressionRole = 2;
  Add('N', DRIVE_REMOTE);
  EXPECT_TRUE(rules->CanAssignLetter('C', 'C', true));
  EXPECT_TRUE(rules->CanAssignLetter('N', 'N', true));
  // The rest of the assignment still runs: whoever had C as New loses it.
  Add('E').newLetter = 'C';
  table->recordOf('C').newLetter = 'H';
  rules->AssignLetter('C' - 'A', 'C');
  EXPECT_EQ(table->recordOf('C').newLetter, 'C');
  EXPECT_EQ(table->recordOf('E').newLetter, noLetter);
  EXPECT_EQ(rows.TextOf('E'), "");
  EXPECT_TRUE(user().Boxes().empty());
}

TEST_F(AssignmentRulesTest, GroupNeedsRoomUpToZ) {
  AddCdRom('E', 7);
  AddCdRom('F', 7);
  AddCdRom('G', 7);
  EXPECT_TRUE(rules->CanAssignLetter('X', 'E', true));
  ExpectRefusal(
      "It's impossible to assign start letter Y to the group of logical "
      "drives on the selected physical device, because the range Y-Z is not "
      "enough for all of them.");
  EXPECT_FALSE(rules->CanAssignLetter('Y', 'E', true));
}

TEST_F(AssignmentRulesTest, DriveSpaceMinimumReplacesTheGroupReason) {
  DriveRecord& e = AddCdRom('E', 7);
  AddCdRom('F', 7);
  AddCdRom('G', 7);
  e.protectedModeOnly = 1;
  e.compressionRole = 2;
  e.swapped = 0;
  // Group too big for Z and below DriveSpace's minimum: one box, DriveSpace's.
  table->firstDriveSpaceLetter = 'Z';
  ExpectRefusal(
      "It's impossible to assign letter Y to drive E, because drive E: is "
      "managed by DriveSpace, and minimum letter available to DriveSpace is "
      "Z.");
  EXPECT_FALSE(rules->CanAssignLetter('Y', 'E', true));
  EXPECT_EQ(user().Boxes().size(), 1u);
  EXPECT_FALSE(rules->CanAssignLetter('Y', 'E', false));
}

TEST_F(AssignmentRulesTest, GroupTakesConsecutiveLettersInListOrder) {
  AddCdRom('F', 7);
  AddCdRom('E', 7);  // listed after F
  Add('D');
  rules->AssignLetter('E' - 'A', 'R');
  EXPECT_TRUE(rows.modified);
  EXPECT_EQ(table->recordOf('F').newLetter, 'R');
  EXPECT_EQ(table->recordOf('E').newLetter, 'S');
  EXPECT_EQ(rows.TextOf('F'), "R:");
  EXPECT_EQ(rows.TextOf('E'), "S:");
  EXPECT_EQ(table->recordOf('D').newLetter, 'D');
}

TEST_F(AssignmentRulesTest, DisplacedDrivesLoseTheirWholeGroupsLetters) {
  AddCdRom('E', 7);
  AddCdRom('F', 7);
  AddCdRom('G', 8);
  AddCdRom('H', 8);
  Add('D');
  // G's group holds Q and R; D wants Q: the whole G-H group loses its
  // letters, nobody gets D's old one.
  table->recordOf('G').newLetter = 'Q';
  table->recordOf('H').newLetter = 'R';
  rules->AssignLetter('D' - 'A', 'Q');
  EXPECT_EQ(table->recordOf('D').newLetter, 'Q');
  EXPECT_EQ(table->recordOf('G').newLetter, noLetter);
  EXPECT_EQ(table->recordOf('H').newLetter, noLetter);
  EXPECT_EQ(rows.TextOf('G'), "");
  EXPECT_EQ(table->recordOf('E').newLetter, 'E');
  // The second letter of a group is taken without any rule: E-F to P
  // takes Q from D although only P was checked.
  rules->AssignLetter('E' - 'A', 'P');
  EXPECT_EQ(table->recordOf('E').newLetter, 'P');
  EXPECT_EQ(table->recordOf('F').newLetter, 'Q');
  EXPECT_EQ(table->recordOf('D').newLetter, noLetter);
}

TEST_F(AssignmentRulesTest, RefusedAssignmentChangesNothing) {
  Add('C');
  Add('D').newLetter = 'E';
  ExpectWarning(WindowsWarning('C'), IDNO);
  rules->AssignLetter('D' - 'A', 'C');
  EXPECT_FALSE(rows.modified);
  EXPECT_EQ(table->recordOf('D').newLetter, 'E');
  EXPECT_TRUE(rows.texts.empty());
}

TEST_F(AssignmentRulesTest, GroupKeepingItsLettersNeverRunsPastZ) {
  AddCdRom('X', 7);
  AddCdRom('Y', 7);
  AddCdRom('Z', 7);
  // Z is the group's last drive; giving it its own letter starts the group
  // at Z, and there is no letter after Z for the other two.
  rules->AssignLetter('Z' - 'A', 'Z');
  EXPECT_EQ(table->recordOf('X').newLetter, 'Z');
  EXPECT_EQ(table->recordOf('Y').newLetter, noLetter);
  EXPECT_EQ(table->recordOf('Z').newLetter, noLetter);
  EXPECT_EQ(rows.TextOf('X'), "Z:");
  EXPECT_EQ(rows.TextOf('Y'), "");
}

TEST_F(AssignmentRulesTest, LetterCommandIsAvailableForFreeGivableLetters) {
  Add('A').sharesPhysicalDrive = 1;
  Add('D').newLetter = 'G';
  DriveRecord& h = Add('H');
  h.compressionRole = 2;
  EXPECT_TRUE(rules->IsLetterAvailable('Q'));
  EXPECT_FALSE(rules->IsLetterAvailable('G'));  // someone's New letter
  EXPECT_FALSE(rules->IsLetterAvailable('B'));  // second letter of A's drive
  EXPECT_FALSE(rules->IsLetterAvailable('H'));  // unswapped host
  EXPECT_TRUE(rules->IsLetterAvailable('D'));   // its owner now wants G
  EXPECT_TRUE(user().Boxes().empty());
}

// The Edit commands, on the same kind of list.
TEST_F(AssignmentRulesTest, ClearEmptiesTheTargetsWholeGroup) {
  AddCdRom('E', 7);
  AddCdRom('F', 7);
  Add('D');
  ClearLetter(*rules, *table, rows, 1);  // the F row
  EXPECT_TRUE(rows.modified);
  EXPECT_EQ(table->recordOf('E').newLetter, noLetter);
  EXPECT_EQ(table->recordOf('F').newLetter, noLetter);
  EXPECT_EQ(rows.TextOf('E'), "");
  EXPECT_EQ(table->recordOf('D').newLetter, 'D');
  rows.modified = false;
  ClearLetter(*rules, *table, rows, -1);  // no target: nothing
  EXPECT_FALSE(rows.modified);
}

TEST_F(AssignmentRulesTest, ClearOfTheWindowsDriveAsksFirst) {
  Add('C');
  ExpectWarning(WindowsWarning('C'), IDNO);
  ClearLetter(*rules, *table, rows, 0);
  EXPECT_EQ(table->recordOf('C').newLetter, 'C');
  EXPECT_FALSE(rows.modified);
  ExpectWarning(WindowsWarning('C'), IDYES);
  ClearLetter(*rules, *table, rows, 0);
  EXPECT_EQ(table->recordOf('C').newLetter, noLetter);
  EXPECT_TRUE(rows.modified);
}

TEST_F(AssignmentRulesTest, ClearAllKeepsWhatMayNotBeGivenAwaySilently) {
  Add('C');
  Add('D').compressionRole = 2;  // unswapped host
  Add('E');
  ClearAllLetters(*rules, *table, rows);
  EXPECT_EQ(table->recordOf('C').newLetter, noLetter);
  EXPECT_EQ(table->recordOf('D').newLetter, 'D');
  EXPECT_EQ(table->recordOf('E').newLetter, noLetter);
  EXPECT_EQ(rows.TextOf('E'), "");
  EXPECT_TRUE(rows.modified);
  EXPECT_TRUE(user().Boxes().empty());
  // The flag is set even when nothing changed.
  rows.modified = false;
  ClearAllLetters(*rules, *table, rows);
  EXPECT_TRUE(rows.modified);
}

TEST_F(AssignmentRulesTest, RestoreOriginalShowsBareLettersAndClearsTheFlag) {
  Add('C').newLetter = 'H';
  Add('D').newLetter = noLetter;
  AddCdRom('E', 7).newLetter = 'C';
  rows.modified = true;
  RestoreOriginalLetters(*table, rows);
  for (char c : {'C', 'D', 'E'}) {
    EXPECT_EQ(table->recordOf(c).newLetter, c);
    EXPECT_EQ(rows.TextOf(c), std::string(1, c));
  }
  EXPECT_FALSE(rows.modified);
  EXPECT_TRUE(user().Boxes().empty());
}

}  // namespace
