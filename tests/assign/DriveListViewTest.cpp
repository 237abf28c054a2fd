// The drive list over the headless list view on simulated machines: the
// build's rows and columns, sorting, the group selection, letters typed and
// commanded, the shortcut menu, the double click, the Edit commands and
// Refresh.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "assign/DriveListView.h"
#include "framework/WindowCodes.h"
#include "framework/headless/Windows.h"
#include "platform/Codes.h"
#include "platform/sim/MachineImpl.h"
#include "tests/support/MachineTest.h"

namespace {

using headless::Windows;
using Texts = std::vector<std::string>;

// The view with its start-up checks and Device Properties observable.
class TestView : public DriveListView {
 public:
  bool cdRomCheckPasses = true;
  bool driveSpaceCheckPasses = true;
  int driveSpaceChecks = 0;
  std::vector<int> propertiesShownFor;  // the target row's drive index

  bool CheckCdRomLetters() override { return cdRomCheckPasses; }
  bool CheckDriveSpaceLaunched() override {
    ++driveSpaceChecks;
    return driveSpaceCheckPasses;
  }
  void ShowDeviceProperties() override {
    const int row = TargetRow();
    propertiesShownFor.push_back(row == -1 ? -1 : GetRowDrive(row));
  }
};

class DriveListViewTest : public MachineTest {
 protected:
  void TearDown() override {
    view.reset();
    frame.DestroyWindow();
    if (booted) {
      // Everything the build took from the shell went back with the view.
      EXPECT_EQ(machine().OutstandingShellItems(), 0);
      EXPECT_EQ(machine().OutstandingShellObjects(), 0);
      EXPECT_EQ(machine().OutstandingShellStrings(), 0);
      EXPECT_EQ(machine().OutstandingIcons(), 0);
      EXPECT_TRUE(Windows::Get().imageLists.empty());
      EXPECT_TRUE(Windows::Get().MenusDone());
    }
    Windows::Get().Reset();
    MachineTest::TearDown();
  }

  // Boots the machine and creates the view in a frame; false when the
  // view's creation failed.
  bool Start(const char* fixture, bool cdRomCheckPasses = true) {
    Boot(fixture);
    booted = true;
    if (!machine().Exists("C:\\Pelmora\\drivemap.dat"))
      machine().WriteFile("C:\\Pelmora\\drivemap.dat",
                          "map\nA B C D E F G H I J K L M N O P Q R S T U V W "
                          "X Y Z\n");
    EXPECT_TRUE(frame.CreateEx(0, "PelmoraFrame", "Pelmora",
                               WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                               CRect(100, 50, 740, 530), nullptr, 0));
    view = std::make_unique<TestView>();
    view->cdRomCheckPasses = cdRomCheckPasses;
    const bool created =
        view->CreateEx(0, "", "", WS_VISIBLE | LVS_REPORT,
                       CRect(0, 0, 640, 440), &frame, driveListId);
    Windows::Get().PumpMessages();
    return created;
  }

  headless::ListModel& Model() {
    return *Windows::Get().List(view->GetSafeHwnd());
  }

  Texts Headings() {
    Texts headings;
    for (const headless::ListColumn& c : Model().columns)
      headings.push_back(c.heading);
    return headings;
  }

  Texts Row(int row) { return Model().rows[row].texts; }

  // The row of a drive letter, -1 when the list has none.
  int RowOf(char letter) { return view->FindItem(letter - 'A'); }

  // Row order as a string of current letters.
  std::string Order() {
    std::string order;
    for (int r = 0; r < view->GetItemCount(); ++r)
      order += static_cast<char>('A' + view->GetItemData(r));
    return order;
  }

  std::string Selected() {
    std::string letters;
    for (int r = view->GetNextItem(-1, LVNI_SELECTED); r != -1;
         r = view->GetNextItem(r, LVNI_SELECTED))
      letters += static_cast<char>('A' + view->GetItemData(r));
    return letters;
  }

  // The New column's texts in row order, joined by '|'.
  std::string NewTexts() {
    std::string texts;
    const int column = view->columnPosition[columnNew];
    for (int r = 0; r < view->GetItemCount(); ++r) {
      if (r > 0) texts += '|';
      texts += Model().rows[r].texts[column];
    }
    return texts;
  }

  void Click(char letter, unsigned keyFlags = 0) {
    headless::ClickRow(view.get(), RowOf(letter), keyFlags);
    Windows::Get().PumpMessages();
  }

  void Command(unsigned id) {
    ASSERT_TRUE(view->OnCmdMsg(id, CN_COMMAND, nullptr)) << id;
  }

  bool Enabled(unsigned id) {
    CCmdUI ui(id);
    EXPECT_TRUE(view->OnCmdMsg(id, CN_UPDATE_COMMAND_UI, &ui)) << id;
    return ui.enabled;
  }

  CWnd frame;
  std::unique_ptr<TestView> view;
  bool booted = false;
};

TEST_F(DriveListViewTest, BuildShowsEveryDriveOnceWithItsTexts) {
  ASSERT_TRUE(Start("drivelist"));
  // No compressed drive: "Compression" is gone; D: is hidden from My
  // Computer, so "Hid" stays. The Control Panel item is no drive.
  EXPECT_EQ(Headings(),
            (Texts{"New", "Old", "Hid", "Label", "Type", "File System",
                   "Total Size", "Free Space", "Serial"}));
  EXPECT_EQ(view->columnCount, 9);
  EXPECT_EQ(view->columnPosition[columnCompression], -1);
  EXPECT_EQ(view->columnPosition[columnFileSystem], 5);
  EXPECT_EQ(Order(), "ACDEFG");
  EXPECT_EQ(Row(RowOf('C')),
            (Texts{"C:", "(C:)", "", "SYSTEM", "Fixed", "FAT32", "1.00 GB",
                   "1024.00 MB", "1A2B-3C4D"}));
  EXPECT_EQ(Row(RowOf('D')), (Texts{"D:", "(D:)", "H", "DATA", "Fixed", "FAT32",
                                    "900.00 MB", "450.00 MB", "2B3C-4D5E"}));
  EXPECT_EQ(Row(RowOf('F')),
            (Texts{"F:", "(F:)", "", "", "CD-ROM", "", "", "", ""}));
  EXPECT_EQ(Row(RowOf('G'))[6], "1.20 GB");
  // Shell drives own their item; the hidden one has none.
  EXPECT_NE(view->table.recordOf('C').shellItem, nullptr);
  EXPECT_EQ(view->table.recordOf('D').shellItem, nullptr);
  EXPECT_EQ(machine().OutstandingShellItems(), 5);
  // Every drive has its icon in the small image list.
  EXPECT_NE(view->GetImageList(LVSIL_SMALL), 0u);
  for (int r = 0; r < view->GetItemCount(); ++r)
    EXPECT_GE(view->GetItemImage(r), 0) << r;
  // A column is as wide as its widest text plus the small-icon spacing:
  // the floppy's label comes from its boot sector with its padding.
  EXPECT_EQ(Row(RowOf('A'))[3], "NO NAME    ");
  EXPECT_EQ(view->GetColumnWidth(3),
            11 * headless::kCharWidth + headless::kSmallIconSpacing);
  EXPECT_EQ(view->GetExtendedStyle() & LVS_EX_FULLROWSELECT,
            static_cast<uint32_t>(LVS_EX_FULLROWSELECT));
  // The first row is selected after a build, and the checks ran once.
  EXPECT_EQ(Selected(), "A");
  EXPECT_EQ(view->TargetRow(), 0);
  EXPECT_EQ(view->driveSpaceChecks, 1);
  EXPECT_FALSE(view->modified);
}

TEST_F(DriveListViewTest, CompressedDrivesKeepTheCompressionColumn) {
  ASSERT_TRUE(Start("probes"));
  EXPECT_EQ(Headings(),
            (Texts{"New", "Old", "Label", "Type", "Compression", "File System",
                   "Total Size", "Free Space", "Serial"}));
  EXPECT_EQ(view->columnPosition[columnHidden], -1);
  EXPECT_EQ(view->columnPosition[columnCompression], 4);
  EXPECT_EQ(Row(RowOf('I'))[4], "Host for J,K, swapped with J");
  EXPECT_EQ(Row(RowOf('K'))[4], "Compressed #2 on I");
  EXPECT_EQ(Row(RowOf('C'))[4], "");
  // J: is swapped with its host, so DriveSpace starts after it.
  EXPECT_EQ(view->table.firstDriveSpaceLetter, 'K');
}

TEST_F(DriveListViewTest, SizesSortByValueAndEachColumnRemembersItsDirection) {
  ASSERT_TRUE(Start("drivelist"));
  const int label = view->columnPosition[columnLabel];
  const int total = view->columnPosition[columnTotalSize];
  // F: has no disc (0 KB); A: 1.39 MB; E: 634.77 MB; D: 900 MB; C: 1 GB;
  // G: 1.2 GB. By text "1.00 GB" would come before "900.00 MB".
  headless::ClickColumn(view.get(), total);
  EXPECT_EQ(Order(), "FAEDCG");
  headless::ClickColumn(view.get(), total);
  EXPECT_EQ(Order(), "GCDEAF");
  // Labels by text; empty ones first, byte-wise.
  headless::ClickColumn(view.get(), label);
  EXPECT_EQ(Order(), "FGDEAC");
  // Back on "Total Size": the direction it had last.
  headless::ClickColumn(view.get(), total);
  EXPECT_EQ(Order(), "GCDEAF");
  EXPECT_EQ(view->sortColumn, total);
  EXPECT_EQ(view->sortDirection[total], -1);
  EXPECT_EQ(view->sortDirection[label], 1);
}

TEST_F(DriveListViewTest, SelectionWidensToTheWholeDeviceGroup) {
  ASSERT_TRUE(Start("drivelist"));
  // The second letter of the changer selects both.
  Click('F');
  EXPECT_EQ(Selected(), "EF");
  EXPECT_EQ(view->TargetRow(), RowOf('F'));
  // A drive of no group is selected alone.
  Click('G');
  EXPECT_EQ(Selected(), "G");
  // A control-click ends with the group of the first selected row.
  Click('C');
  Click('E', MK_CONTROL);
  EXPECT_EQ(Selected(), "C");
  EXPECT_EQ(view->TargetRow(), RowOf('C'));
  Click('F');
  Click('A', MK_CONTROL);
  EXPECT_EQ(Selected(), "A");
  EXPECT_EQ(view->selectionGuard, 0);
}

TEST_F(DriveListViewTest, TypingALetterAssignsItAsTheLetterCommandDoes) {
  std::string typed, commanded;
  ASSERT_TRUE(Start("drivelist"));
  Click('G');
  const std::string before = NewTexts();
  headless::TypeChar(view.get(), 'y');
  typed = NewTexts();
  EXPECT_NE(typed, before);
  EXPECT_FALSE(headless::Defaulted(view.get(), WM_CHAR, 'y'));
  EXPECT_TRUE(view->modified);
  // A digit is the control's business and changes no letter.
  headless::TypeChar(view.get(), '1');
  EXPECT_TRUE(headless::Defaulted(view.get(), WM_CHAR, '1'));
  EXPECT_EQ(NewTexts(), typed);

  // G's own letter back, then the command.
  headless::TypeChar(view.get(), 'g');
  EXPECT_EQ(NewTexts(), before);
  Command(ID_LETTER_A + ('Y' - 'A'));
  commanded = NewTexts();
  EXPECT_EQ(commanded, typed);
  EXPECT_EQ(Row(RowOf('G'))[0], "Y:");
}

TEST_F(DriveListViewTest, NoTargetRowMeansLettersAndClearDoNothing) {
  ASSERT_TRUE(Start("drivelist"));
  view->SetItemState(-1, 0, LVIS_SELECTED);
  Windows::Get().PumpMessages();
  EXPECT_EQ(view->TargetRow(), -1);
  const std::string before = NewTexts();
  headless::TypeChar(view.get(), 'y');
  Command(ID_LETTER_A + ('X' - 'A'));
  EXPECT_FALSE(Enabled(ID_EDIT_CLEAR));
  Command(ID_EDIT_CLEAR);
  EXPECT_EQ(NewTexts(), before);
  EXPECT_FALSE(view->modified);
  EXPECT_TRUE(user().Boxes().empty());
}

TEST_F(DriveListViewTest,
       LetterCommandsAreEnabledForFreeLettersThatMayBeGiven) {
  ASSERT_TRUE(Start("probes"));
  auto enabledLetters = [this] {
    std::string enabled;
    for (char c = 'A'; c <= 'Z'; ++c)
      if (Enabled(ID_LETTER_A + (c - 'A'))) enabled += c;
    return enabled;
  };
  // Every drive's New letter is its own at first, so only free letters.
  EXPECT_EQ(enabledLetters(), "DLMNOPQRSTUVWXYZ");
  // Once every letter that may be given away is: A: and B: share one
  // floppy drive, and J: is swapped with its host.
  Command(ID_EDIT_CLEAR_ALL);
  EXPECT_EQ(enabledLetters(), "CDEFGHIKLMNOPQRSTUVWXYZ");
}

TEST_F(DriveListViewTest, LetterCommandAfterALetterBarDragIsSwallowedOnce) {
  ASSERT_TRUE(Start("drivelist"));
  Click('G');
  view->ignoreNextLetterCommand = true;
  Command(ID_LETTER_A + ('X' - 'A'));
  EXPECT_EQ(Row(RowOf('G'))[0], "G:");
  EXPECT_FALSE(view->ignoreNextLetterCommand);
  Command(ID_LETTER_A + ('X' - 'A'));
  EXPECT_EQ(Row(RowOf('G'))[0], "X:");
}

TEST_F(DriveListViewTest, ShortcutMenuOfAShellDriveWithADevice) {
  ASSERT_TRUE(Start("drivelist"));
  Windows::Get().ExpectMenuChoice(3 + 2);  // the shell's "P&roperties"
  headless::RightClickRow(view.get(), RowOf('C'));
  ASSERT_EQ(Windows::Get().shownMenus.size(), 1u);
  const headless::ShownMenu& menu = Windows::Get().shownMenus[0];
  using Entries = std::vector<std::pair<unsigned, std::string>>;
  EXPECT_EQ(menu.entries, (Entries{{1, "Device Properties"},
                                   {0, ""},
                                   {3, "&Open"},
                                   {4, "E&xplore"},
                                   {0, ""},
                                   {5, "P&roperties"}}));
  EXPECT_EQ(menu.defaultId, 1);
  EXPECT_EQ(menu.flags, static_cast<unsigned>(TPM_RIGHTBUTTON | TPM_RETURNCMD));
  ASSERT_EQ(machine().ContextCommands().size(), 1u);
  EXPECT_EQ(machine().ContextCommands()[0].item, "C:\\");
  EXPECT_EQ(machine().ContextCommands()[0].verb, "properties");
  EXPECT_EQ(machine().ContextCommands()[0].owner, view->GetSafeHwnd());
}

TEST_F(DriveListViewTest, ShortcutMenuOfAHiddenDriveOffersOpen) {
  ASSERT_TRUE(Start("drivelist"));
  Windows::Get().ExpectMenuChoice(2);
  headless::RightClickRow(view.get(), RowOf('D'));
  const headless::ShownMenu& menu = Windows::Get().shownMenus.at(0);
  using Entries = std::vector<std::pair<unsigned, std::string>>;
  EXPECT_EQ(menu.entries, (Entries{{1, "Device Properties"}, {2, "Open"}}));
  EXPECT_EQ(menu.defaultId, 1);
  ASSERT_EQ(machine().ShellCalls().size(), 1u);
  const sim::ShellCall call = machine().ShellCalls()[0];
  EXPECT_EQ(call.owner, view->GetSafeHwnd());
  EXPECT_EQ(call.verb, "open");
  EXPECT_EQ(call.file, "D:\\");
  EXPECT_EQ(call.showCommand, SW_SHOWNORMAL);

  // "Device Properties" runs the command for the target row.
  Click('D');
  Windows::Get().ExpectMenuChoice(1);
  headless::RightClickRow(view.get(), RowOf('D'));
  EXPECT_EQ(view->propertiesShownFor, (std::vector<int>{'D' - 'A'}));
}

TEST_F(DriveListViewTest, ShortcutMenuWithoutTheShellsEntriesWhenItRefuses) {
  ASSERT_TRUE(Start("drivelist"));
  faults().Fail("GetUIObjectOf", E_FAIL, 1, "IContextMenu");
  Windows::Get().ExpectMenuChoice(0);
  headless::RightClickRow(view.get(), RowOf('E'));
  using Entries = std::vector<std::pair<unsigned, std::string>>;
  EXPECT_EQ(Windows::Get().shownMenus.at(0).entries,
            (Entries{{1, "Device Properties"}}));
  EXPECT_TRUE(view->propertiesShownFor.empty());
  // Below the rows there is no menu at all.
  CPoint below(10, headless::kListHeaderHeight + 20 * headless::kListRowHeight);
  view->ClientToScreen(&below);
  view->SendMessage(WM_CONTEXTMENU, view->GetSafeHwnd(),
                    static_cast<intptr_t>((below.y << 16) | below.x));
  EXPECT_EQ(Windows::Get().shownMenus.size(), 1u);
}

TEST_F(DriveListViewTest, DoubleClickShowsDevicePropertiesThenTheControlsOwn) {
  ASSERT_TRUE(Start("drivelist"));
  headless::DoubleClickRow(view.get(), RowOf('E'));
  EXPECT_EQ(view->propertiesShownFor, (std::vector<int>{'E' - 'A'}));
  EXPECT_TRUE(headless::Defaulted(view.get(), WM_LBUTTONDBLCLK, MK_LBUTTON));
}

TEST_F(DriveListViewTest,
       ClearEmptiesTheGroupAndRestoreOriginalShowsBareLetters) {
  ASSERT_TRUE(Start("drivelist"));
  Click('E');
  EXPECT_TRUE(Enabled(ID_EDIT_CLEAR));
  Command(ID_EDIT_CLEAR);
  EXPECT_EQ(NewTexts(), "A:|C:|D:|||G:");
  EXPECT_TRUE(view->modified);
  Command(ID_EDIT_CLEAR_ALL);
  // Clear All asks nothing, not even for the Windows drive C:.
  EXPECT_EQ(NewTexts(), "|||||");
  EXPECT_TRUE(user().Boxes().empty());
  Command(ID_EDIT_RESTORE_ORIGINAL);
  EXPECT_EQ(NewTexts(), "A|C|D|E|F|G");
  EXPECT_FALSE(view->modified);
}

TEST_F(DriveListViewTest, RefreshKeepsPendingLettersAndDropsGoneDrives) {
  ASSERT_TRUE(Start("drivelist"));
  Click('G');
  Command(ID_LETTER_A + ('X' - 'A'));
  Click('E');
  Command(ID_LETTER_A + ('Y' - 'A'));
  ASSERT_EQ(NewTexts(), "A:|C:|D:|Y:|Z:|X:");
  // D: goes away, and G: is now a temporary network connection, which may
  // not change its letter.
  sim::MachineImpl& m = machine().Impl();
  m.drives.erase('D');
  m.drives.at('G').type = DRIVE_REMOTE;
  view->modified = true;
  Command(ID_VIEW_REFRESH);
  EXPECT_EQ(Order(), "ACEFG");
  EXPECT_EQ(NewTexts(), "A:|C:|Y:|Z:|");
  EXPECT_EQ(static_cast<uint8_t>(view->table.recordOf('G').newLetter), 0xFF);
  EXPECT_TRUE(user().Boxes().empty());
  EXPECT_TRUE(view->IsWindowVisible());
  EXPECT_TRUE(view->modified);
  EXPECT_EQ(view->driveSpaceChecks, 2);
  Windows::Get().PumpMessages();
  EXPECT_FALSE(headless::Defaulted(&frame, WM_CLOSE, 0));
}

TEST_F(DriveListViewTest, RefreshOnAListThatKeepsColumnZeroReusesIt) {
  ASSERT_TRUE(Start("drivelist"));
  const Texts headings = Headings();
  const std::string order = Order();
  Model().keepsColumnZero = true;
  Command(ID_VIEW_REFRESH);
  EXPECT_EQ(Headings(), headings);
  EXPECT_EQ(Order(), order);
  EXPECT_EQ(Row(RowOf('C'))[1], "(C:)");
}

TEST_F(DriveListViewTest, RefreshAfterTheCompressionSoftwareRanClosesTheFrame) {
  ASSERT_TRUE(Start("drivelist"));
  view->modified = true;
  view->restartPending = true;
  view->driveSpaceCheckPasses = false;
  Command(ID_VIEW_REFRESH);
  EXPECT_FALSE(view->modified);
  EXPECT_FALSE(view->restartPending);
  EXPECT_FALSE(headless::Defaulted(&frame, WM_CLOSE, 0));
  Windows::Get().PumpMessages();
  EXPECT_TRUE(headless::Defaulted(&frame, WM_CLOSE, 0));
}

TEST_F(DriveListViewTest, FailedBuildEndsTheCreationWithItsMessage) {
  Boot("drivelist");
  booted = true;
  faults().Fail("EnumObjects", E_FAIL);
  user().Expect("Pelmora", "Error creating main window", MB_ICONERROR | MB_OK,
                IDOK);
  ASSERT_TRUE(frame.CreateEx(0, "PelmoraFrame", "Pelmora", WS_VISIBLE,
                             CRect(0, 0, 640, 480), nullptr, 0));
  view = std::make_unique<TestView>();
  EXPECT_FALSE(view->CreateEx(0, "", "", WS_VISIBLE | LVS_REPORT,
                              CRect(0, 0, 640, 440), &frame, driveListId));
  EXPECT_EQ(view->GetSafeHwnd(), 0u);
  ASSERT_EQ(user().Boxes().size(), 1u);
  EXPECT_EQ(user().Boxes()[0].owner, 0u);
}

TEST_F(DriveListViewTest, RefusedStartUpCheckOrControlEndsTheCreationSilently) {
  EXPECT_FALSE(Start("drivelist", /*cdRomCheckPasses=*/false));
  EXPECT_EQ(view->driveSpaceChecks, 0);
  EXPECT_TRUE(user().Boxes().empty());
  view.reset();
  Windows::Get().failNextListCreate = true;
  view = std::make_unique<TestView>();
  EXPECT_FALSE(view->CreateEx(0, "", "", WS_VISIBLE | LVS_REPORT,
                              CRect(0, 0, 640, 440), &frame, driveListId));
  EXPECT_EQ(view->GetItemCount(), 0);
}

}  // namespace

// Letter drags: the drag-image calls in order, as the image list's drag
// support receives them.
class DriveListDragTest : public DriveListViewTest {
 protected:
  std::vector<std::string> DragLog() {
    std::vector<std::string> log;
    for (const headless::DragCall& c : Windows::Get().dragCalls) {
      std::string line = c.name;
      if (c.name == "BeginDrag")
        line += std::string(c.list == dropList     ? " drop"
                            : c.list == noDropList ? " no-drop"
                                                   : " other") +
                " (" + std::to_string(c.point.x) + "," +
                std::to_string(c.point.y) + ")";
      if (c.name == "DragEnter" || c.name == "DragMove")
        line += " (" + std::to_string(c.point.x) + "," +
                std::to_string(c.point.y) + ")";
      log.push_back(line);
    }
    return log;
  }

  // A client point on a row, left or far right of the columns.
  CPoint OnRow(char letter, int x = 10) {
    return CPoint(x, headless::RowPoint(RowOf(letter)).y);
  }
  std::string Screen(CPoint client) {
    view->ClientToScreen(&client);
    return "(" + std::to_string(client.x) + "," + std::to_string(client.y) +
           ")";
  }
  std::string DropHighlighted() {
    std::string letters;
    for (int r = view->GetNextItem(-1, LVNI_DROPHILITED); r != -1;
         r = view->GetNextItem(r, LVNI_DROPHILITED))
      letters += static_cast<char>('A' + view->GetItemData(r));
    return letters;
  }
  bool FullRow() {
    return (view->GetExtendedStyle() & LVS_EX_FULLROWSELECT) != 0;
  }
  // The drag is over and nothing of it is left behind.
  void ExpectIdle() {
    EXPECT_FALSE(view->dragging);
    EXPECT_EQ(view->dropImages, nullptr);
    EXPECT_EQ(view->noDropImages, nullptr);
    EXPECT_EQ(Windows::Get().cursorCount, 0);
    EXPECT_EQ(CWnd::GetCapture(), nullptr);
    EXPECT_TRUE(FullRow());
    EXPECT_EQ(DropHighlighted(), "");
    // Only the list's own small icons are left.
    EXPECT_EQ(Windows::Get().imageLists.size(), 1u);
  }

  uintptr_t dropList = 0, noDropList = 0;
};

TEST_F(DriveListDragTest, RowDragStartsOnItsOwnRowAndEscapeCancelsIt) {
  ASSERT_TRUE(Start("drivelist"));
  headless::BeginDragRow(view.get(), RowOf('G'));
  ASSERT_TRUE(view->dragging);
  dropList = view->dropImages->GetSafeHandle();
  noDropList = view->noDropImages->GetSafeHandle();
  EXPECT_EQ(view->dropTargetRow, RowOf('G'));
  EXPECT_EQ(view->dragLetter, 'G');
  EXPECT_EQ(Selected(), "G");
  EXPECT_FALSE(FullRow());
  EXPECT_EQ(CWnd::GetCapture(), view.get());
  EXPECT_EQ(Windows::Get().cursorCount, -1);
  // The picture with a cursor on it, 8 pixels in.
  EXPECT_EQ(view->dropImages->GetImageCount(), 1);
  CRect bounds;
  view->GetItemRect(RowOf('G'), &bounds, LVIR_BOUNDS);
  EXPECT_EQ(DragLog(),
            (std::vector<std::string>{
                "BeginDrag drop (8,8)",
                "DragEnter " + Screen(CPoint(bounds.left, bounds.top))}));
  // Over its own row nothing changes but the image's place.
  headless::MoveMouse(view.get(), OnRow('G', 30));
  EXPECT_EQ(DragLog().back(), "DragMove " + Screen(OnRow('G', 30)));
  const std::string before = NewTexts();
  headless::PressKey(view.get(), VK_ESCAPE);
  ExpectIdle();
  EXPECT_EQ(NewTexts(), before);
  EXPECT_FALSE(view->modified);
}

TEST_F(DriveListDragTest, EmptyNewLetterCannotBeDragged) {
  ASSERT_TRUE(Start("drivelist"));
  Click('G');
  Command(ID_EDIT_CLEAR);
  headless::BeginDragRow(view.get(), RowOf('G'));
  EXPECT_FALSE(view->dragging);
  EXPECT_TRUE(Windows::Get().dragCalls.empty());
  EXPECT_TRUE(Windows::Get().cursorCalls.empty());
  EXPECT_EQ(CWnd::GetCapture(), nullptr);
}

TEST_F(DriveListDragTest, DropMovesTheLetterAndTheSourceLosesIt) {
  ASSERT_TRUE(Start("drivelist"));
  headless::BeginDragRow(view.get(), RowOf('G'));
  headless::MoveMouse(view.get(), OnRow('D'));
  EXPECT_EQ(DropHighlighted(), "D");
  EXPECT_EQ(view->dropTargetRow, RowOf('D'));
  headless::ReleaseButton(view.get(), OnRow('D'));
  ExpectIdle();
  EXPECT_EQ(NewTexts(), "A:|C:|G:|E:|F:|");
  EXPECT_EQ(Selected(), "D");
  EXPECT_TRUE(view->modified);
  EXPECT_TRUE(user().Boxes().empty());
}

TEST_F(DriveListDragTest, DropOutsideEveryRowAssignsNothing) {
  ASSERT_TRUE(Start("drivelist"));
  const std::string before = NewTexts();
  headless::BeginDragRow(view.get(), RowOf('G'));
  const CPoint below(10, headless::RowPoint(12).y);
  headless::MoveMouse(view.get(), below);
  EXPECT_EQ(view->dropTargetRow, -1);
  headless::ReleaseButton(view.get(), below);
  ExpectIdle();
  EXPECT_EQ(NewTexts(), before);
}

TEST_F(DriveListDragTest, LetterBarDragShowsNoDropUntilAnAcceptingRow) {
  ASSERT_TRUE(Start("probes"));
  Windows::Get().cursorPos = CPoint(300, 20);
  auto drop = new CImageList, noDrop = new CImageList;
  ASSERT_TRUE(drop->Create(48, 40, ILC_MASK, 1, 0));
  ASSERT_TRUE(noDrop->Create(48, 40, ILC_MASK, 1, 0));
  dropList = drop->GetSafeHandle();
  noDropList = noDrop->GetSafeHandle();
  view->BeginLetterDrag(drop, noDrop, 16, 8, 'X');
  ASSERT_TRUE(view->dragging);
  EXPECT_EQ(view->dropTargetRow, -1);
  // A: shares its drive with B: and may not change its letter: refused.
  headless::MoveMouse(view.get(), OnRow('A'));
  EXPECT_EQ(DropHighlighted(), "");
  // Far to the right of the columns, over C:, which may take X.
  const CPoint right = OnRow('C', 2000);
  headless::MoveMouse(view.get(), right);
  EXPECT_EQ(DropHighlighted(), "C");
  EXPECT_EQ(DragLog(),
            (std::vector<std::string>{
                "BeginDrag no-drop (16,8)", "DragEnter (300,20)",
                "DragMove " + Screen(OnRow('A')), "DragLeave", "EndDrag",
                "BeginDrag drop (16,8)", "DragEnter " + Screen(right)}));
  // The drop asks the interactive rules: C: holds Windows; the user says
  // No and nothing changes.
  user().Answer(IDNO);
  const std::string before = NewTexts();
  headless::ReleaseButton(view.get(), right);
  ExpectIdle();
  EXPECT_EQ(user().Boxes().size(), 1u);
  EXPECT_EQ(NewTexts(), before);
  // Releasing the capture ended the drag once more inside the first end.
  const std::vector<std::string> log = DragLog();
  EXPECT_EQ(std::vector<std::string>(log.end() - 4, log.end()),
            (std::vector<std::string>{"DragLeave", "EndDrag", "DragLeave",
                                      "EndDrag"}));
}

TEST_F(DriveListDragTest, CaptureLossEndsTheDragWithNothingLeftBehind) {
  ASSERT_TRUE(Start("drivelist"));
  headless::BeginDragRow(view.get(), RowOf('E'));
  headless::MoveMouse(view.get(), OnRow('G'));
  ASSERT_EQ(DropHighlighted(), "G");
  // Another window takes the mouse (Alt+Tab, say).
  frame.SetCapture();
  ExpectIdle();
  EXPECT_EQ(CWnd::GetCapture(), nullptr);
  EXPECT_EQ(NewTexts(), "A:|C:|D:|E:|F:|G:");
  const std::vector<std::string>& cursor = Windows::Get().cursorCalls;
  EXPECT_EQ(cursor, (std::vector<std::string>{"hide", "show"}));
}
